#pragma once
// The project content as the main window keeps it, without the console: module entries and the
// project settings, saved and loaded under the rules the main window and the module manager
// follow. A load first drops the old modules, reads each entry's "type" and "id" (a malformed
// one throws, as the property tree does) and fails when no module is requested. Every call is
// logged, so a test can check what the project manager did and in which order.
//
// Thread: the test's thread. Owner: the test; AppProjects only points to it.
#include "projects/iappsaveobject.h"
#include "projects/projectsettings.h"

#include <QStringList>

#include <boost/property_tree/ptree.hpp>

class FakeSaveObject : public IAppSaveObject
{
public:
    bool saveContent(boost::property_tree::ptree& root) override;
    bool loadContent(const boost::property_tree::ptree& root) override;
    void resetContent() override;
    void setProjectTitle(const QString& name) override;

    // Appends a module entry with a port setting; a change of the project.
    void addModule(int type, int id, const std::string& port);
    int moduleCount() const { return static_cast<int>(modules.size()); }

    // The content of the element "modules".
    boost::property_tree::ptree modules;
    ProjectSettings settings;
    QString title;
    bool failSave = false;
    QStringList log;
};
