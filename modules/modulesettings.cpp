#include "modules/modulesettings.h"

#include "modules/globals.h"

using boost::property_tree::ptree;

ModuleSettings::ModuleSettings()
    : portName(NoPortName)
{
}

void ModuleSettings::read(const ptree& settings)
{
    if (const auto port = settings.get_child_optional("port"))
        portName = port->data();
    // A rate of zero or below would only fail later, when the port is opened with it.
    if (const auto rate = readDecimal(settings, "baudrate"); rate && *rate > 0)
        baud = *rate;
}

void ModuleSettings::write(ptree& settings) const
{
    settings.put("port", portName);
    settings.put("baudrate", baud);
}

QString ModuleSettings::requestSetting(const QString&) const
{
    return QString();
}

void ModuleSettings::updateSetting(const QString&, const QString&)
{
}

std::optional<int> ModuleSettings::readDecimal(const ptree& node, const std::string& child)
{
    const auto found = node.get_child_optional(child);
    if (!found)
        return std::nullopt;
    bool ok = false;
    const int value = QString::fromStdString(found->data()).toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool ModuleSettings::takePrefix(QString& name, const QString& prefix)
{
    if (!name.startsWith(prefix, Qt::CaseSensitive))
        return false;
    name.remove(prefix, Qt::CaseSensitive);
    return true;
}
