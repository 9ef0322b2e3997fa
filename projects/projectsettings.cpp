#include "projects/projectsettings.h"

#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

ProjectSettings::ProjectSettings(QObject* parent)
    : QObject(parent)
{
}

void ProjectSettings::setSoundEnabled(bool enabled)
{
    if (enabled == sound)
        return;
    sound = enabled;
    emit soundEnabledUpdate(sound);
}

bool ProjectSettings::read(const pt::ptree& project)
{
    // The stream translator accepts exactly "1", "0", "true" and "false", with surrounding white
    // space; anything else, such as "yes" or "True", gives no value.
    if (const auto enabled = project.get_optional<bool>("project_settings.sound"))
        setSoundEnabled(*enabled);
    return true;
}

bool ProjectSettings::write(pt::ptree& project) const
{
    pt::ptree& settings = project.add_child("project_settings", pt::ptree());
    settings.put("sound", sound ? "true" : "false");
    return true;
}

void ProjectSettings::reset()
{
    setSoundEnabled(true);
}
