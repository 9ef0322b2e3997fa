#include "fakesaveobject.h"

namespace pt = boost::property_tree;

bool FakeSaveObject::saveContent(pt::ptree& root)
{
    log << "save";
    if (failSave)
        return false;
    pt::ptree& project = root.get_child("project");
    project.add_child("modules", modules);
    return settings.write(project);
}

bool FakeSaveObject::loadContent(const pt::ptree& root)
{
    log << "load";
    const auto project = root.get_child_optional("project");
    if (!project)
        return false;
    modules.clear(); // the main window removes every module before it loads
    const auto entries = project->get_child_optional("modules");
    if (!entries)
        return false;
    // As the module manager does: a missing or non-numeric "type" or "id" throws, and a
    // project that requests no module at all does not load.
    int requested = 0;
    for (const auto& [key, entry] : *entries) {
        if (key != "module")
            continue;
        entry.get<unsigned>("type");
        entry.get<int>("id");
        ++requested;
    }
    modules = *entries;
    settings.read(*project);
    return requested > 0;
}

void FakeSaveObject::resetContent()
{
    log << "reset";
    modules.clear();
    settings.reset();
    setProjectTitle(QString());
}

void FakeSaveObject::setProjectTitle(const QString& name)
{
    log << "title:" + name;
    title = name;
}

void FakeSaveObject::addModule(int type, int id, const std::string& port)
{
    pt::ptree& module = modules.add_child("module", pt::ptree());
    module.put("type", type);
    module.put("id", id);
    module.put("settings.serial_port", port);
}
