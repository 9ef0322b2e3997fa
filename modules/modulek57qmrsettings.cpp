#include "modules/modulek57qmrsettings.h"

#include "modules/globals.h"

using boost::property_tree::ptree;

void ModuleK57QMRSettings::read(const ptree& settings)
{
    ModuleSettings::read(settings);
    videoNames.read(settings);
}

void ModuleK57QMRSettings::write(ptree& settings) const
{
    ModuleSettings::write(settings);
    videoNames.write(settings);
}

QString ModuleK57QMRSettings::requestSetting(const QString& name) const
{
    return videoNames.name(videoNumber(name));
}

void ModuleK57QMRSettings::updateSetting(const QString& name, const QString& value)
{
    videoNames.setName(videoNumber(name), value);
}

int ModuleK57QMRSettings::videoNumber(QString name)
{
    return takePrefix(name, MotherboardPrefix) ? VideoNames::numberInName(name) : 0;
}
