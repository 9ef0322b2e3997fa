#pragma once
// The main window as the page bridge sees it, for tests: a plain widget as dialog parent, real
// project settings, an optional project manager and a count of close requests.
//
// Thread: the test's thread. Owner: the test.
#include "pagehost/ipagehost.h"
#include "projects/appprojects.h"
#include "projects/projectsettings.h"

#include <QWidget>

#include <memory>

class FakePageHost : public IPageHost
{
public:
    QWidget* dialogParent() override { return &window; }
    AppProjects* projectManager() override { return manager.get(); }
    ProjectSettings* currentProjectSettings() override { return &settings; }
    void closeApplication() override;

    QWidget window;
    ProjectSettings settings;
    std::unique_ptr<AppProjects> manager;
    int closeRequests = 0;
};
