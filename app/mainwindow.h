#pragma once
// The application's only top-level window. It owns the project manager and the project settings,
// is the project's content for the project manager (IAppSaveObject: the modules and the project
// settings), loads the last project or adds the default module once the console is ready, and
// on closing saves the project, stores its geometry and waits for the console thread to end.
//
// The page bridge reaches the window as its IPageHost. The pages offer the project operations; the
// menu bar offers them too, with the module dialog, the help manual, technical support and the
// about box, which the pages do not reach.
//
// Thread: GUI thread. Owner: the process, through the shared pointer behind mainWindowPtr(),
// which the entry function releases before the application object.
#include "pagehost/ipagehost.h"
#include "projects/iappsaveobject.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AddModuleDialog;
class AppProjects;
class MainWidget;
class ProjectSettings;
class QAction;

class MainWindow : public QMainWindow, public IAppSaveObject, public IPageHost
{
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 960;
    static constexpr int MinimumHeight = 540;

    // The console client is reached through the module manager, which the entry function has
    // attached to it, so the window needs no pointer of its own.
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Builds the form, restores the geometry and waits for the console; called once the window is
    // held by its shared pointer.
    void initialise();

    std::shared_ptr<ProjectSettings> projectSettings() const { return settings; }
    // Empty until the console is first ready.
    std::shared_ptr<AppProjects> projects() const { return appProjects; }
    MainWidget* mainWidget() const { return centralView; }
    QAction* action(const char* objectName) const;

    QWidget* dialogParent() override { return this; }
    AppProjects* projectManager() override { return appProjects.get(); }
    ProjectSettings* currentProjectSettings() override { return settings.get(); }
    void closeApplication() override;

    bool saveContent(boost::property_tree::ptree& root) override;
    bool loadContent(const boost::property_tree::ptree& root) override;
    void resetContent() override;
    void setProjectTitle(const QString& name) override;

signals:
    void newProject();
    void showSettings(bool);
    void closeConsole();
    void closing();

public slots:
    void consoleFinished();
    void onConsoleReady();
    void on_actionAddModules_triggered(bool triggered);
    void on_actionHelp_triggered(bool triggered);
    void on_actionSupport_triggered(bool triggered);
    void on_actionAbout_triggered(bool triggered);
    void onAddModuleDialogDestroyed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupUi();
    void createActions();
    QAction* createAction(const char* objectName, const QString& text, const QString& toolTip,
        const QKeySequence& shortcut = QKeySequence());
    void createMenus();
    void connectModuleView();
    void restoreWindow();
    void storeWindow();
    void createProjects();
    void addDefaultModules();
    void waitForConsoleThread();
    void uncheckAddModules();

    QPointer<AddModuleDialog> addModuleDialog;
    std::shared_ptr<ProjectSettings> settings;
    std::shared_ptr<AppProjects> appProjects;
    MainWidget* centralView = nullptr;
};

// The process-wide main window; empty before the entry function has created it.
std::shared_ptr<MainWindow> mainWindowPtr();
void setMainWindowPtr(std::shared_ptr<MainWindow> window);
