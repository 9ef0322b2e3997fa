#pragma once
// Settings of a K57-QMR module: the base settings plus the names of the unit's four video inputs
// ("motherboard_video1" to "motherboard_video4").
//
// Thread: the GUI thread. Owner: its ModuleK57QMR (a shared pointer).
#include "modules/modulesettings.h"
#include "modules/videonames.h"

class ModuleK57QMRSettings : public ModuleSettings
{
public:
    void read(const boost::property_tree::ptree& settings) override;
    void write(boost::property_tree::ptree& settings) const override;
    QString requestSetting(const QString& name) const override;
    void updateSetting(const QString& name, const QString& value) override;

private:
    // The video number a setting name addresses, or 0.
    static int videoNumber(QString name);

    VideoNames videoNames;
};
