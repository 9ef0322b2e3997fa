#pragma once
// What the page bridge needs of the application's main window: the parent of its message boxes,
// the project manager and project settings that the pages reach through qtobj, and the normal
// way to end the application. The main window implements it; the page host never depends on the
// application layer itself.
//
// Thread: GUI thread only. Owner: the implementer (the main window); the bridge keeps a
// non-owning pointer, so the implementer must outlive the module web view. The names differ from
// the main window's own shared-pointer accessors so that it can implement this interface beside
// them.
class AppProjects;
class ProjectSettings;
class QWidget;

class IPageHost
{
public:
    virtual ~IPageHost() = default;

    // The main window: message boxes of the pages are modal to it.
    virtual QWidget* dialogParent() = 0;
    // Null until the console is first ready (the project manager is made then).
    virtual AppProjects* projectManager() = 0;
    virtual ProjectSettings* currentProjectSettings() = 0;
    // Closes the main window, which runs its closing sequence with the save prompt.
    virtual void closeApplication() = 0;
};
