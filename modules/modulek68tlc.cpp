#include "modules/modulek68tlc.h"

#include "modules/modulek68tlcsettings.h"

#include <cstdio>

ModuleK68TLC::ModuleK68TLC(
    std::shared_ptr<ModuleDescriptor> descriptor, tdi::UInt16 deviceId, QObject* parent)
    : ModuleBase(std::move(descriptor), deviceId, std::make_shared<ModuleK68TLCSettings>(), parent)
{
}

std::string ModuleK68TLC::startCommand() const
{
    return "v 42 14 0001\r\n";
}

void ModuleK68TLC::defaultRefreshCommands(std::vector<std::string>& commands) const
{
    commands.clear();
    for (unsigned page = 0x08; page <= 0x77; ++page) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", page);
        commands.push_back(std::string("mf00r 00 00 ") + hex + " 00 100\r\n");
    }
}

int ModuleK68TLC::decoderKind() const
{
    return console::DecoderK68TLC;
}
