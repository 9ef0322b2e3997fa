#include "modules/modulek68tlcsettings.h"

#include "modules/globals.h"

using boost::property_tree::ptree;

namespace {

const char* const SideNames[] = { "local", "remote" };

} // namespace

ModuleK68TLCSettings::ModuleK68TLCSettings()
{
    for (Side& side : sides) {
        side.serial = defaultPortNames("_serial", "SERIAL #");
        side.ethernet = defaultPortNames("_ethernet", "ETHERNET #");
    }
}

ModuleK68TLCSettings::PortNames ModuleK68TLCSettings::defaultPortNames(
    const char* kind, const char* label)
{
    PortNames names;
    for (int slot = 1; slot <= 2; ++slot) {
        for (int card = 1; card <= 4; ++card) {
            for (int port = 1; port <= 4; ++port) {
                const std::string key = "slot" + std::to_string(slot) + "card"
                    + std::to_string(card) + kind + std::to_string(port);
                names[key] = label + std::to_string(port);
            }
        }
    }
    return names;
}

void ModuleK68TLCSettings::read(const ptree& settings)
{
    ModuleSettings::read(settings);
    for (std::size_t index = 0; index < sides.size(); ++index) {
        if (const auto node = settings.get_child_optional(SideNames[index]))
            readSide(*node, sides[index]);
    }
}

void ModuleK68TLCSettings::write(ptree& settings) const
{
    ModuleSettings::write(settings);
    for (std::size_t index = 0; index < sides.size(); ++index)
        writeSide(settings.add_child(SideNames[index], ptree()), sides[index]);
}

void ModuleK68TLCSettings::readSide(const ptree& node, Side& side)
{
    side.video.read(node);
    if (const auto serial = node.get_child_optional("serial"))
        readPortNames(*serial, side.serial);
    if (const auto ethernet = node.get_child_optional("ethernet"))
        readPortNames(*ethernet, side.ethernet);
}

void ModuleK68TLCSettings::writeSide(ptree& node, const Side& side)
{
    side.video.write(node);
    writePortNames(node.add_child("serial", ptree()), side.serial);
    writePortNames(node.add_child("ethernet", ptree()), side.ethernet);
}

// A project may name ports this build does not know yet; they are kept and written back.
void ModuleK68TLCSettings::readPortNames(const ptree& node, PortNames& names)
{
    for (const auto& [key, entry] : node)
        names[key] = entry.data();
}

void ModuleK68TLCSettings::writePortNames(ptree& node, const PortNames& names)
{
    // Plain children: a key is an element name, never a path to be split at its dots.
    for (const auto& [key, text] : names)
        node.push_back({ key, ptree(text) });
}

QString ModuleK68TLCSettings::requestSetting(const QString& name) const
{
    const Address target = address(name);
    const Side& side = sides[target.side];
    if (target.kind == Kind::Video)
        return side.video.name(target.videoNumber);
    if (const PortNames* ports = portNamesOf(side, target.kind)) {
        const auto found = ports->find(target.key);
        if (found != ports->end())
            return QString::fromStdString(found->second);
    }
    return QString();
}

void ModuleK68TLCSettings::updateSetting(const QString& name, const QString& value)
{
    const Address target = address(name);
    Side& side = sides[target.side];
    if (target.kind == Kind::Video)
        side.video.setName(target.videoNumber, value);
    if (PortNames* ports = portNamesOf(side, target.kind)) {
        // Pages rename ports that exist; they never add new ones.
        const auto found = ports->find(target.key);
        if (found != ports->end())
            found->second = value.toStdString();
    }
}

// A name without a side names nothing: the pages always say which end of the link they mean.
ModuleK68TLCSettings::Address ModuleK68TLCSettings::address(QString name)
{
    Address target;
    if (takePrefix(name, RemotePrefix))
        target.side = 1;
    else if (!takePrefix(name, LocalPrefix))
        return target;
    if (takePrefix(name, MotherboardPrefix)) {
        target.videoNumber = VideoNames::numberInName(name);
        target.kind = target.videoNumber ? Kind::Video : Kind::Nothing;
    } else if (takePrefix(name, SerialPrefix)) {
        target.kind = Kind::Serial;
    } else if (takePrefix(name, EthernetPrefix)) {
        target.kind = Kind::Ethernet;
    }
    target.key = name.toStdString();
    return target;
}
