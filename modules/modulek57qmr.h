#pragma once
// A K57 multiplexer with its QMR main board. It connects with the diagnostics start command and,
// when a page asks for polling without naming commands, reads the register pages 38 to 77.
//
// Thread: the GUI thread. Owner: the module manager (ModuleBasePtr, made by ModuleBase::create).
#include "modules/modulebase.h"

class ModuleK57QMR : public ModuleBase
{
    Q_OBJECT
public:
    ModuleK57QMR(std::shared_ptr<ModuleDescriptor> descriptor, tdi::UInt16 deviceId,
        QObject* parent = nullptr);

    std::string startCommand() const override;
    void defaultRefreshCommands(std::vector<std::string>& commands) const override;
    int decoderKind() const override;
};
