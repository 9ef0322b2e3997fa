#pragma once
// A K68-TLC remote module. It connects with "i" until its page reports a QMR-style screen
// (onScreenSet(true)), then with a register read; its default polling reads the local module's
// pages 0x08 to 0x77.
//
// Thread: the GUI thread. Owner: the module manager (ModuleBasePtr, made by ModuleBase::create).
#include "modules/modulebase.h"

class ModuleK68TLC : public ModuleBase
{
    Q_OBJECT
public:
    ModuleK68TLC(std::shared_ptr<ModuleDescriptor> descriptor, tdi::UInt16 deviceId,
        QObject* parent = nullptr);

    std::string startCommand() const override;
    void defaultRefreshCommands(std::vector<std::string>& commands) const override;
    int decoderKind() const override;
};
