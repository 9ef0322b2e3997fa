#pragma once
// The project manager: which project file is current, whether the project has changed since it
// was saved (the content is compared with the file), when to ask the user before changes are
// lost, the open and save dialogs, the recent list, and all of this remembered across runs in
// the settings group "project". The content itself is reached only through IAppSaveObject.
//
// A project the user has never named lives in "default.vdp" in the application's writable data
// folder and is saved there without asking when the application closes.
//
// Before the content is dropped or replaced (a new project, a loaded file) projectReset() is
// emitted: the application connects it to the console bridge's reset so that the devices of the
// old modules release their ports before the new modules ask for them.
//
// Thread: GUI thread only. Owner: the main window (shared pointer); it owns its dialogs.
#include "projects/iprojectdialogs.h"

#include <QObject>
#include <QStringList>

#include <boost/property_tree/ptree_fwd.hpp>

#include <memory>

class IAppSaveObject;

class AppProjects : public QObject
{
    Q_OBJECT
public:
    // The real dialogs. defaultDirectory is where the file dialogs start (normally the
    // application's writable data location).
    explicit AppProjects(const QString& defaultDirectory, QObject* parent = nullptr);
    AppProjects(const QString& defaultDirectory, std::unique_ptr<IProjectDialogs> dialogs,
        QObject* parent = nullptr);
    // Writes the settings group "project".
    ~AppProjects() override;

    // Installs the project content; must happen before any project operation.
    void setSaveObject(IAppSaveObject* object);

    // Loads the current project file without asking; false when there is none or it fails.
    bool loadCurrentProject();
    // Loads path, asking first (when prompt is set) whether to save a changed project.
    void loadProject(const QString& path, bool prompt);
    bool isDefaultProject() const;
    // The content differs from the file at path (empty path: no; no file: yes).
    bool isModified(const QString& path);
    // Saves the current project if it changed, asking first when prompt is set. False when the
    // user cancelled or the project could not be written.
    bool saveIfModified(bool prompt);

    QString currentProjectFile() const { return currentFile; }
    QString defaultProjectFile() const { return defaultProject; }
    QStringList recentProjects() const { return recentFiles; }

signals:
    // After every update of the recent list.
    void recentProjectsChanged(QStringList projects);
    // A new project has been started.
    void newProject();
    // Emitted just before the content is reset or replaced by a loaded file.
    void projectReset();

public slots:
    void onNewProject();
    void onOpenProject();
    void onLoadProject(const QString& filename);
    void startNewProject(bool saveProjectInUse);
    void startNewProject();
    void onSave();
    void onSaveAs();

private:
    void readSettings();
    void writeSettings() const;
    QString startDirectory() const;
    QString chooseSaveFileName();
    IProjectDialogs::SaveChoice askToSave(const QString& path);
    bool save(const QString& path, bool prompt);
    bool saveUnderNewName(const QString& path);
    bool writeProject(const QString& target);
    bool collectContent(boost::property_tree::ptree& tree);
    bool loadProjectFile(const QString& path);
    bool replaceContent(const boost::property_tree::ptree& tree);
    bool loadContent(const boost::property_tree::ptree& tree);
    void failLoad(const QString& path);
    void reportMissing(const QString& path);
    void forgetRecent(const QString& path);
    void updateRecentList();
    void updateTitle();

    QString currentFile;
    QString directory;
    QString defaultDirectory;
    QStringList recentFiles;
    QString defaultProject;
    IAppSaveObject* saveObject = nullptr;
    std::unique_ptr<IProjectDialogs> dialogs;
};
