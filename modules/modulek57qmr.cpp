#include "modules/modulek57qmr.h"

#include "modules/modulek57qmrsettings.h"

ModuleK57QMR::ModuleK57QMR(
    std::shared_ptr<ModuleDescriptor> descriptor, tdi::UInt16 deviceId, QObject* parent)
    : ModuleBase(std::move(descriptor), deviceId, std::make_shared<ModuleK57QMRSettings>(), parent)
{
    onScreenSet(true);
}

std::string ModuleK57QMR::startCommand() const
{
    return "VAREN_DIAGNOSTICS_START\r\n";
}

// Whole register pages; the page numbers are written in decimal, so the list skips the
// addresses that would need the letters A to F.
void ModuleK57QMR::defaultRefreshCommands(std::vector<std::string>& commands) const
{
    commands.clear();
    for (int page = 38; page <= 77; ++page)
        commands.push_back("v " + std::to_string(page) + " 00 0100\r\n");
}

int ModuleK57QMR::decoderKind() const
{
    return console::DecoderK57QMR;
}
