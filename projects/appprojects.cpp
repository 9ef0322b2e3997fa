#include "projects/appprojects.h"

#include "projects/iappsaveobject.h"
#include "projects/logging.h"
#include "projects/projectdialogs.h"
#include "projects/projectfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <boost/property_tree/ptree.hpp>

#include <exception>

namespace pt = boost::property_tree;

namespace {

constexpr int MaxRecentFiles = 5;
const char* const SettingsGroup = "project";
const char* const CurrentFileKey = "current_file";
const char* const DirectoryKey = "directory";
const char* const RecentFilesKey = "recent_files";

QString dataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool isExistingFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

QString absolutePath(const QString& path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

QString fileFilter()
{
    return AppProjects::tr("Varen Diagnostics Project Files (*.vdp)");
}

} // namespace

AppProjects::AppProjects(const QString& defaultDirectory, QObject* parent)
    : AppProjects(defaultDirectory, std::make_unique<ProjectDialogs>(), parent)
{
}

AppProjects::AppProjects(
    const QString& defaultDirectory, std::unique_ptr<IProjectDialogs> dialogs, QObject* parent)
    : QObject(parent)
    , directory(defaultDirectory)
    , defaultDirectory(defaultDirectory)
    , defaultProject(dataLocation() + "/default.vdp")
    , dialogs(std::move(dialogs))
{
    Q_ASSERT(this->dialogs);
    QDir().mkpath(dataLocation());
    readSettings();
    if (currentFile.isEmpty())
        currentFile = defaultProject;
    updateRecentList();
}

AppProjects::~AppProjects()
{
    writeSettings();
}

void AppProjects::setSaveObject(IAppSaveObject* object)
{
    saveObject = object;
}

void AppProjects::readSettings()
{
    QSettings settings;
    settings.beginGroup(SettingsGroup);
    currentFile = settings.value(CurrentFileKey).toString();
    directory = settings.value(DirectoryKey, defaultDirectory).toString();
    recentFiles = settings.value(RecentFilesKey).toStringList();
}

void AppProjects::writeSettings() const
{
    QSettings settings;
    settings.beginGroup(SettingsGroup);
    settings.setValue(CurrentFileKey, currentFile);
    settings.setValue(DirectoryKey, directory);
    settings.setValue(RecentFilesKey, recentFiles);
}

bool AppProjects::loadCurrentProject()
{
    return loadProjectFile(currentFile);
}

bool AppProjects::isDefaultProject() const
{
    return currentFile == defaultProject;
}

QString AppProjects::startDirectory() const
{
    // The application's data folder holds the default project, which is never opened or saved
    // through a dialog; a remembered directory inside it gives way to the default directory.
    return directory.contains(dataLocation()) ? defaultDirectory : directory;
}

QString AppProjects::chooseSaveFileName()
{
    const QString start = startDirectory();
    QDir().mkpath(start);
    return dialogs->chooseSaveFileName(tr("Save Project File"), start, fileFilter());
}

IProjectDialogs::SaveChoice AppProjects::askToSave(const QString& path)
{
    const QString question = path.isEmpty() || path == defaultProject
        ? tr("Do you want to save your changes?")
        : tr("Do you want to save your changes to \"%1\"?").arg(QFileInfo(path).fileName());
    return dialogs->askSaveChanges(
        tr("Save Project"), tr("The project has been modified."), question);
}

bool AppProjects::isModified(const QString& path)
{
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path))
        return true;
    pt::ptree content;
    if (!collectContent(content))
        return false;
    pt::ptree current;
    pt::ptree saved;
    // The content passes through the writer and reader that made the file, so that only the
    // data can differ, never the layout.
    if (!ProjectFile::parse(ProjectFile::serialise(content), current)
        || !ProjectFile::read(path, saved))
        return true;
    const auto currentProject = current.get_child_optional("project");
    const auto savedProject = saved.get_child_optional("project");
    return !(currentProject && savedProject && *currentProject == *savedProject);
}

bool AppProjects::saveIfModified(bool prompt)
{
    return isModified(currentFile) ? save(currentFile, prompt) : true;
}

bool AppProjects::save(const QString& path, bool prompt)
{
    if (!QFileInfo::exists(path))
        QDir().mkpath(startDirectory());
    if (prompt) {
        switch (askToSave(path)) {
        case IProjectDialogs::SaveChoice::Discard:
            return true;
        case IProjectDialogs::SaveChoice::Cancel:
            return false;
        case IProjectDialogs::SaveChoice::Save:
            break;
        }
        if (path == defaultProject)
            return saveUnderNewName(chooseSaveFileName());
    }
    return writeProject(path);
}

bool AppProjects::saveUnderNewName(const QString& path)
{
    if (path.isEmpty())
        return false;
    // The project takes the new name only once it is there, so a failed write never leaves
    // the project pointing at a file that does not hold it.
    if (!save(path, false))
        return false;
    currentFile = path;
    updateRecentList();
    updateTitle();
    return true;
}

bool AppProjects::writeProject(const QString& target)
{
    if (!saveObject)
        return false;
    pt::ptree tree;
    QString reason = tr("The project's content could not be collected.");
    if (collectContent(tree) && ProjectFile::write(target, tree, &reason))
        return true;
    qCWarning(lcProjects, "AppProjects: saving %s failed: %s", qUtf8Printable(target),
        qUtf8Printable(reason));
    dialogs->showError(tr("Save Failed"),
        tr("There was an error saving the project file:\n%1\n%2").arg(target, reason));
    return false;
}

bool AppProjects::collectContent(pt::ptree& tree)
{
    if (!saveObject)
        return false;
    tree = pt::ptree();
    tree.put_child("project", pt::ptree());
    try {
        return saveObject->saveContent(tree);
    } catch (const std::exception& error) {
        qCWarning(lcProjects, "AppProjects: the project content failed to save: %s", error.what());
        return false;
    }
}

void AppProjects::onSave()
{
    if (isDefaultProject())
        saveUnderNewName(chooseSaveFileName());
    else
        save(currentFile, false);
}

void AppProjects::onSaveAs()
{
    saveUnderNewName(chooseSaveFileName());
}

void AppProjects::onNewProject()
{
    startNewProject(true);
}

void AppProjects::startNewProject()
{
    startNewProject(true);
}

void AppProjects::startNewProject(bool saveProjectInUse)
{
    if (!saveObject)
        return;
    if (saveProjectInUse && isModified(currentFile) && !save(currentFile, true))
        return;
    currentFile = defaultProject;
    emit projectReset();
    saveObject->resetContent();
    updateTitle();
    emit newProject();
}

void AppProjects::onOpenProject()
{
    const QString path
        = dialogs->chooseOpenFileName(tr("Open Project File"), startDirectory(), fileFilter());
    if (!path.isEmpty())
        loadProject(path, true);
}

void AppProjects::onLoadProject(const QString& filename)
{
    loadProject(filename, true);
}

void AppProjects::loadProject(const QString& path, bool prompt)
{
    if (!saveObject)
        return;
    if (isExistingFile(path)) {
        if (prompt && isModified(currentFile) && !save(currentFile, true))
            return;
        // The question may have taken a while; the file can be gone by now.
        if (isExistingFile(path))
            loadProjectFile(path);
        else
            reportMissing(path);
    } else if (path != defaultProject) {
        reportMissing(path);
    }
}

bool AppProjects::loadProjectFile(const QString& path)
{
    if (!saveObject)
        return false;
    if (path.isEmpty() || !isExistingFile(path)) {
        currentFile = defaultProject;
        updateTitle();
        updateRecentList();
        return false;
    }
    pt::ptree tree;
    QString reason;
    if (!ProjectFile::read(path, tree, &reason)) {
        qCWarning(lcProjects, "AppProjects: reading %s failed: %s", qUtf8Printable(path),
            qUtf8Printable(reason));
        failLoad(path);
        return false;
    }
    if (!replaceContent(tree)) {
        failLoad(path);
        return false;
    }
    currentFile = path;
    updateTitle();
    updateRecentList();
    return true;
}

bool AppProjects::replaceContent(const pt::ptree& tree)
{
    pt::ptree previous;
    const bool canRestore = collectContent(previous);
    if (loadContent(tree))
        return true;
    // A load that fails half-way may already have dropped the old content; the next save
    // would then write an emptied project over the user's file.
    if (canRestore && !loadContent(previous))
        qCWarning(lcProjects, "AppProjects: the previous project could not be restored");
    return false;
}

bool AppProjects::loadContent(const pt::ptree& tree)
{
    emit projectReset();
    try {
        return saveObject->loadContent(tree);
    } catch (const std::exception& error) {
        qCWarning(lcProjects, "AppProjects: the project content failed to load: %s", error.what());
        return false;
    }
}

void AppProjects::failLoad(const QString& path)
{
    // A broken default project is the user's unnamed work from the last run, not a file they
    // chose; the caller starts afresh without troubling them.
    if (path != defaultProject) {
        dialogs->showError(
            tr("Load Failed"), tr("There was an error loading the project file:\n") + path);
    }
    forgetRecent(path);
    updateTitle();
    updateRecentList();
}

void AppProjects::reportMissing(const QString& path)
{
    dialogs->showError(
        tr("Load Failed"), tr("Unable to load project. No file was found at: ") + path);
    forgetRecent(path);
    updateRecentList();
}

void AppProjects::forgetRecent(const QString& path)
{
    recentFiles.removeAll(path);
    recentFiles.removeAll(absolutePath(path));
}

void AppProjects::updateRecentList()
{
    const QString defaultPath = absolutePath(defaultProject);
    QStringList updated;
    const auto consider = [&](const QString& path) {
        const QString absolute = absolutePath(path);
        if (updated.size() < MaxRecentFiles && absolute != defaultPath && isExistingFile(absolute)
            && !updated.contains(absolute))
            updated.append(absolute);
    };
    consider(currentFile);
    for (const QString& path : qAsConst(recentFiles))
        consider(path);
    recentFiles = updated;
    emit recentProjectsChanged(recentFiles);
}

void AppProjects::updateTitle()
{
    if (!saveObject)
        return;
    const bool unnamed = currentFile.isEmpty() || currentFile == defaultProject;
    saveObject->setProjectTitle(unnamed ? QString() : QFileInfo(currentFile).fileName());
}
