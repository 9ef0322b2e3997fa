#pragma once
// Settings of a K68-TLC module: the base settings plus, for each side of the link (local and
// remote), the names of its video inputs and of its cards' serial and Ethernet ports. Setting
// names start with the side ("local_", "remote_"), then "motherboard_video<n>",
// "serial_<key>" or "ethernet_<key>", where a key reads like "slot1card3_serial2".
//
// Thread: the GUI thread. Owner: its ModuleK68TLC (a shared pointer).
#include "modules/modulesettings.h"
#include "modules/videonames.h"

#include <array>
#include <map>

class ModuleK68TLCSettings : public ModuleSettings
{
public:
    ModuleK68TLCSettings();

    void read(const boost::property_tree::ptree& settings) override;
    void write(boost::property_tree::ptree& settings) const override;
    QString requestSetting(const QString& name) const override;
    void updateSetting(const QString& name, const QString& value) override;

private:
    using PortNames = std::map<std::string, std::string>;

    struct Side
    {
        VideoNames video;
        PortNames serial;
        PortNames ethernet;
    };

    enum class Kind { Nothing, Video, Serial, Ethernet };

    // What a setting name addresses: a video name, or an entry of one of a side's port maps.
    struct Address
    {
        Kind kind = Kind::Nothing;
        std::size_t side = 0;
        int videoNumber = 0;
        std::string key;
    };

    // The serial or Ethernet map an address points into, or null; const or not as the side is.
    template <typename SideType>
    static auto portNamesOf(SideType& side, Kind kind) -> decltype(&side.serial)
    {
        if (kind == Kind::Serial)
            return &side.serial;
        return kind == Kind::Ethernet ? &side.ethernet : nullptr;
    }

    static PortNames defaultPortNames(const char* kind, const char* label);
    static void readSide(const boost::property_tree::ptree& node, Side& side);
    static void writeSide(boost::property_tree::ptree& node, const Side& side);
    static void readPortNames(const boost::property_tree::ptree& node, PortNames& names);
    static void writePortNames(boost::property_tree::ptree& node, const PortNames& names);
    static Address address(QString name);

    std::array<Side, 2> sides; // local, remote
};
