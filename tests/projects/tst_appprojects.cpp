// The project manager against a fake project content and scripted dialogs: saving and reopening
// across runs, change detection, broken files, the recent list, the questions before closing,
// starting a new project and opening another, the dialogs' start directory, and saves that
// cannot be written.
#include "fakesaveobject.h"
#include "scripteddialogs.h"

#include "projects/appprojects.h"
#include "projects/projectfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <boost/property_tree/xml_parser.hpp>

#include <csignal>
#include <memory>
#include <sstream>
#include <sys/resource.h>

namespace pt = boost::property_tree;

using Choice = IProjectDialogs::SaveChoice;
using Answers = QList<IProjectDialogs::SaveChoice>;
Q_DECLARE_METATYPE(Answers)

namespace {

const QString LoadErrorText = "There was an error loading the project file:\n";
const QString MissingFileText = "Unable to load project. No file was found at: ";

QString dataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Number of module entries in the project file at path; -1 when it holds no project.
int modulesInFile(const QString& path)
{
    pt::ptree tree;
    if (!ProjectFile::read(path, tree))
        return -1;
    const auto modules = tree.get_child_optional("project.modules");
    return modules ? static_cast<int>(modules->count("module")) : -1;
}

// The tree a save of content writes.
pt::ptree treeOf(FakeSaveObject& content)
{
    pt::ptree tree;
    tree.put_child("project", pt::ptree());
    content.saveContent(tree);
    return tree;
}

// Lowers the file size limit for the current scope: writes beyond it fail as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved {};
    void (*previousHandler)(int) = nullptr;
};

enum Obstacle { ReadOnlyFolder, FolderIsAFile, FullDisk };

} // namespace

class AppProjectsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstRunStartsWithTheDefaultProject();
    void savedProjectReopensInTheNextRun();
    void isModified_data();
    void isModified();
    void brokenFileIsNotLoaded_data();
    void brokenFileIsNotLoaded();
    void defaultProjectProblemsAreSilent();
    void recentList_data();
    void recentList();
    void closing_data();
    void closing();
    void newProject_data();
    void newProject();
    void openProject_data();
    void openProject();
    void saveAsksForANameOnlyWhenUnnamed();
    void dialogsStartDirectory_data();
    void dialogsStartDirectory();
    void unwritableTarget_data();
    void unwritableTarget();

private:
    void startProjects();
    void stopProjects();
    void saveAs(const QString& file);
    QString path(const QString& name) const { return work->filePath(name); }
    QString defaultDirectory() const { return path("projects"); }
    int logIndex(const QString& entry) const { return content->log.indexOf(entry); }

    std::unique_ptr<QTemporaryDir> work;
    std::unique_ptr<FakeSaveObject> content;
    std::unique_ptr<AppProjects> projects;
    ScriptedDialogs* dialogs = nullptr; // owned by projects
};

void AppProjectsTest::init()
{
    QSettings().remove("project");
    QVERIFY(QDir(dataLocation()).removeRecursively());
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    content = std::make_unique<FakeSaveObject>();
    content->addModule(4, 0, "COM3");
    startProjects();
}

void AppProjectsTest::cleanup()
{
    stopProjects();
    // unwritableTarget makes this folder read-only; the work folder must go all the same.
    QFile::setPermissions(path("target"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    work.reset();
    content.reset();
}

void AppProjectsTest::startProjects()
{
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    projects = std::make_unique<AppProjects>(defaultDirectory(), std::move(scripted));
    connect(projects.get(), &AppProjects::projectReset, this,
        [this] { content->log << "projectReset"; });
    projects->setSaveObject(content.get());
}

void AppProjectsTest::stopProjects()
{
    projects.reset();
    dialogs = nullptr;
}

void AppProjectsTest::saveAs(const QString& file)
{
    dialogs->saveNames << file;
    projects->onSaveAs();
    QCOMPARE(projects->currentProjectFile(), file);
}

void AppProjectsTest::firstRunStartsWithTheDefaultProject()
{
    QCOMPARE(projects->currentProjectFile(), dataLocation() + "/default.vdp");
    QVERIFY(projects->isDefaultProject());
    QVERIFY(QFileInfo(dataLocation()).isDir());
    QVERIFY(!projects->loadCurrentProject());
    QVERIFY(dialogs->shown.isEmpty());
    QCOMPARE(content->log, QStringList { "title:" });
    QVERIFY(projects->recentProjects().isEmpty());
}

void AppProjectsTest::savedProjectReopensInTheNextRun()
{
    content->settings.setSoundEnabled(false);
    const QString file = path("site.vdp");
    QSignalSpy recentChanged(projects.get(), &AppProjects::recentProjectsChanged);
    saveAs(file);
    const auto asked = dialogs->ofKind("save");
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].title, QString("Save Project File"));
    QCOMPARE(asked[0].filter, QString("Varen Diagnostics Project Files (*.vdp)"));
    QCOMPARE(content->title, QString("site.vdp"));
    QCOMPARE(projects->recentProjects(), QStringList { file });
    QVERIFY(!recentChanged.isEmpty());
    QCOMPARE(recentChanged.last().at(0).toStringList(), QStringList { file });
    QVERIFY(!projects->isModified(file));

    content->addModule(3, 1, "COM4");
    QVERIFY(projects->isModified(file));
    projects->onSave();
    QCOMPARE(dialogs->ofKind("save").size(), 1);
    QVERIFY(!projects->isModified(file));
    QCOMPARE(modulesInFile(file), 2);

    // The next run starts with an empty workspace and a new manager.
    const pt::ptree saved = content->modules;
    stopProjects();
    content = std::make_unique<FakeSaveObject>();
    startProjects();
    QCOMPARE(projects->currentProjectFile(), file);
    QCOMPARE(projects->recentProjects(), QStringList { file });
    QVERIFY(projects->loadCurrentProject());
    QVERIFY(content->modules == saved);
    QVERIFY(!content->settings.isSoundEnabled());
    QCOMPARE(content->title, QString("site.vdp"));
    QVERIFY(!projects->isModified(file));
    QVERIFY(dialogs->shown.isEmpty());
}

void AppProjectsTest::isModified_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<bool>("failSave");
    QTest::addColumn<bool>("modified");

    // The content each row starts with: init's module and the one the test adds.
    FakeSaveObject sample;
    sample.addModule(4, 0, "COM3");
    sample.addModule(3, 7, "COM9");
    const pt::ptree tree = treeOf(sample);
    const QByteArray same = QByteArray::fromStdString(ProjectFile::serialise(tree));
    std::ostringstream compact;
    pt::write_xml(compact, tree);
    sample.addModule(4, 8, "COM1");
    const QByteArray other = QByteArray::fromStdString(ProjectFile::serialise(treeOf(sample)));

    QTest::newRow("no path") << QString() << QByteArray() << false << false;
    QTest::newRow("no file") << "p.vdp" << QByteArray() << false << true;
    QTest::newRow("same content") << "p.vdp" << same << false << false;
    QTest::newRow("same content, other layout")
        << "p.vdp" << QByteArray::fromStdString(compact.str()) << false << false;
    QTest::newRow("other content") << "p.vdp" << other << false << true;
    QTest::newRow("not XML") << "p.vdp" << QByteArray("modules: 1") << false << true;
    QTest::newRow("no project element")
        << "p.vdp" << QByteArray("<workspace><modules/></workspace>") << false << true;
    QTest::newRow("content cannot be saved") << "p.vdp" << other << true << false;
}

void AppProjectsTest::isModified()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, failSave);
    QFETCH(bool, modified);

    content->addModule(3, 7, "COM9");
    const QString target = file.isEmpty() ? file : path(file);
    if (!bytes.isNull())
        QVERIFY(writeFile(target, bytes));
    content->failSave = failSave;
    QCOMPARE(projects->isModified(target), modified);
}

void AppProjectsTest::brokenFileIsNotLoaded_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: the file is removed
    QTest::addColumn<QString>("message");

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    QTest::newRow("not XML") << QByteArray("this is not a project") << LoadErrorText;
    QTest::newRow("cut short") << head + "<project>\n    <modules>\n        <mod" << LoadErrorText;
    QTest::newRow("empty file") << QByteArray("") << LoadErrorText;
    QTest::newRow("no project element") << head
            + "<workspace><modules><module><type>4</type><id>0</id></module></modules>"
              "</workspace>" << LoadErrorText;
    QTest::newRow("no modules element")
        << head + "<project><project_settings><sound>true</sound></project_settings></project>"
        << LoadErrorText;
    QTest::newRow("no module entries") << head + "<project><modules/></project>" << LoadErrorText;
    QTest::newRow("non-numeric type") << head
            + "<project><modules><module><type>K57</type><id>0</id></module></modules>"
              "</project>" << LoadErrorText;
    QTest::newRow("non-numeric id") << head
            + "<project><modules><module><type>4</type><id>first</id></module></modules>"
              "</project>" << LoadErrorText;
    QTest::newRow("missing type") << head
            + "<project><modules><module><id>0</id></module></modules></project>"
                                  << LoadErrorText;
    QTest::newRow("file removed") << QByteArray() << MissingFileText;
}

void AppProjectsTest::brokenFileIsNotLoaded()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    // A good project on the recent list, then broken behind the manager's back.
    const QString file = path("broken.vdp");
    FakeSaveObject good;
    good.addModule(3, 2, "COM2");
    QVERIFY(ProjectFile::write(file, treeOf(good)));
    stopProjects();
    QSettings().setValue("project/recent_files", QStringList { file });
    startProjects();
    QCOMPARE(projects->recentProjects(), QStringList { file });
    if (bytes.isNull())
        QVERIFY(QFile::remove(file));
    else
        QVERIFY(writeFile(file, bytes));
    const pt::ptree before = content->modules;

    projects->loadProject(file, false);

    const auto errors = dialogs->ofKind("error");
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].title, QString("Load Failed"));
    QCOMPARE(errors[0].text, message + file);
    QVERIFY(projects->recentProjects().isEmpty());
    QVERIFY(projects->isDefaultProject());
    QVERIFY(content->modules == before);
    QCOMPARE(content->title, QString());
}

void AppProjectsTest::defaultProjectProblemsAreSilent()
{
    const QString defaultProject = projects->defaultProjectFile();
    projects->onLoadProject(defaultProject);
    QVERIFY(content->log.isEmpty());

    QVERIFY(writeFile(defaultProject, "garbage"));
    QVERIFY(!projects->loadCurrentProject());
    QVERIFY(projects->isDefaultProject());
    QVERIFY(dialogs->shown.isEmpty());
    QCOMPARE(content->moduleCount(), 1);
}

void AppProjectsTest::recentList_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("expected");

    // Names stand for project files in the work folder; "gone" does not exist, "default" is
    // the default project, "./x" is x given relative to the working directory.
    QTest::newRow("current comes first")
        << QStringList { "a", "b" } << "c" << QStringList { "c", "a", "b" };
    QTest::newRow("five at most") << QStringList { "a", "b", "c", "d", "e", "f" } << "default"
                                  << QStringList { "a", "b", "c", "d", "e" };
    QTest::newRow("current counts among the five") << QStringList { "a", "b", "c", "d", "e" } << "f"
                                                   << QStringList { "f", "a", "b", "c", "d" };
    QTest::newRow("missing files dropped")
        << QStringList { "a", "gone", "b" } << "default" << QStringList { "a", "b" };
    QTest::newRow("missing current not listed")
        << QStringList { "a" } << "gone" << QStringList { "a" };
    QTest::newRow("default project never listed")
        << QStringList { "a", "default", "b" } << "default" << QStringList { "a", "b" };
    QTest::newRow("no duplicates")
        << QStringList { "a", "b", "a" } << "b" << QStringList { "b", "a" };
    QTest::newRow("relative paths made absolute")
        << QStringList { "./a", "a", "./b" } << "default" << QStringList { "a", "b" };
}

void AppProjectsTest::recentList()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, current);
    QFETCH(QStringList, expected);

    for (const QString name : { "a", "b", "c", "d", "e", "f" })
        QVERIFY(writeFile(path(name + QString(".vdp")), "<project/>"));
    QVERIFY(writeFile(dataLocation() + "/default.vdp", "<project/>"));
    const QString savedCurrent = QDir::currentPath();
    QDir::setCurrent(work->path());
    const auto resolve = [&](const QString& name) {
        if (name == "default")
            return dataLocation() + "/default.vdp";
        return name.startsWith("./") ? name + ".vdp" : path(name + ".vdp");
    };
    QStringList storedPaths;
    for (const QString& name : stored)
        storedPaths << resolve(name);
    QStringList expectedPaths;
    for (const QString& name : expected)
        expectedPaths << resolve(name);

    stopProjects();
    QSettings().setValue("project/recent_files", storedPaths);
    QSettings().setValue("project/current_file", resolve(current));
    startProjects();
    QDir::setCurrent(savedCurrent);

    QCOMPARE(projects->recentProjects(), expectedPaths);
    stopProjects();
    QCOMPARE(QSettings().value("project/recent_files").toStringList(), expectedPaths);
}

void AppProjectsTest::closing_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("written");

    QTest::newRow("unnamed and changed: saved without asking")
        << false << true << Answers {} << true << false << true;
    QTest::newRow("named and unchanged: nothing to ask")
        << true << false << Answers {} << true << false << false;
    QTest::newRow("named, Save") << true << true << Answers { Choice::Save } << true << true
                                 << true;
    QTest::newRow("named, Discard")
        << true << true << Answers { Choice::Discard } << true << true << false;
    QTest::newRow("named, Cancel keeps the window open")
        << true << true << Answers { Choice::Cancel } << false << true << false;
}

void AppProjectsTest::closing()
{
    QFETCH(bool, named);
    QFETCH(bool, modify);
    QFETCH(Answers, answers);
    QFETCH(bool, closes);
    QFETCH(bool, asked);
    QFETCH(bool, written);

    const QString file = named ? path("close.vdp") : projects->defaultProjectFile();
    if (named)
        saveAs(file);
    else
        QVERIFY(projects->saveIfModified(false));
    QCOMPARE(modulesInFile(file), 1);
    if (modify)
        content->addModule(3, 1, "COM5");
    dialogs->choices = answers;
    const int questionsBefore = dialogs->ofKind("ask").size();

    // As the main window closes: it asks unless the project is the default one.
    QCOMPARE(projects->saveIfModified(!projects->isDefaultProject()), closes);

    const auto questions = dialogs->ofKind("ask").mid(questionsBefore);
    QCOMPARE(questions.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(questions[0].title, QString("Save Project"));
        QCOMPARE(questions[0].text, QString("The project has been modified."));
        QCOMPARE(questions[0].informativeText,
            QString("Do you want to save your changes to \"close.vdp\"?"));
    }
    QCOMPARE(modulesInFile(file), written ? 2 : 1);
    QCOMPARE(projects->currentProjectFile(), file);
    QVERIFY(dialogs->allAnswered());
    QVERIFY(dialogs->ofKind("error").isEmpty());
}

void AppProjectsTest::newProject_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<bool>("saveInUse");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("names"); // answers of the save dialog
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("savedFile");
    QTest::addColumn<int>("savedModules");

    QTest::newRow("unchanged: no question")
        << true << false << true << Answers {} << QStringList {} << true << "in-use.vdp" << 1;
    QTest::newRow("Discard starts without saving")
        << true << true << true << Answers { Choice::Discard } << QStringList {} << true
        << "in-use.vdp" << 1;
    QTest::newRow("Save saves, then starts") << true << true << true << Answers { Choice::Save }
                                             << QStringList {} << true << "in-use.vdp" << 2;
    QTest::newRow("Cancel keeps the project") << true << true << true << Answers { Choice::Cancel }
                                              << QStringList {} << false << "in-use.vdp" << 1;
    QTest::newRow("not saving the project in use")
        << true << true << false << Answers {} << QStringList {} << true << "in-use.vdp" << 1;
    QTest::newRow("unnamed, Save under a new name")
        << false << true << true << Answers { Choice::Save } << QStringList { "kept.vdp" } << true
        << "kept.vdp" << 2;
    QTest::newRow("unnamed, Save, name dialog cancelled")
        << false << true << true << Answers { Choice::Save } << QStringList { "" } << false
        << "kept.vdp" << -1;
}

void AppProjectsTest::newProject()
{
    QFETCH(bool, named);
    QFETCH(bool, modify);
    QFETCH(bool, saveInUse);
    QFETCH(Answers, answers);
    QFETCH(QStringList, names);
    QFETCH(bool, started);
    QFETCH(QString, savedFile);
    QFETCH(int, savedModules);

    if (named)
        saveAs(path("in-use.vdp"));
    const QString inUse = projects->currentProjectFile();
    if (modify)
        content->addModule(3, 1, "COM5");
    dialogs->choices = answers;
    for (const QString& name : names)
        dialogs->saveNames << (name.isEmpty() ? name : path(name));
    content->log.clear();
    QSignalSpy newProjects(projects.get(), &AppProjects::newProject);

    if (saveInUse)
        projects->onNewProject();
    else
        projects->startNewProject(false);

    QCOMPARE(newProjects.count(), started ? 1 : 0);
    QCOMPARE(projects->currentProjectFile(), started ? projects->defaultProjectFile() : inUse);
    QCOMPARE(content->moduleCount(), started ? 0 : (modify ? 2 : 1));
    if (started) {
        QVERIFY(logIndex("projectReset") >= 0);
        QVERIFY(logIndex("projectReset") < logIndex("reset"));
        QCOMPARE(content->title, QString());
    } else {
        QCOMPARE(logIndex("projectReset"), -1);
        QCOMPARE(logIndex("reset"), -1);
    }
    QCOMPARE(modulesInFile(path(savedFile)), savedModules);
    QVERIFY(dialogs->allAnswered());
}

void AppProjectsTest::openProject_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<bool>("loaded");

    QTest::newRow("unchanged project: no question") << false << "other.vdp" << Answers {} << true;
    QTest::newRow("dialog cancelled") << true << "" << Answers {} << false;
    QTest::newRow("Discard loads without saving")
        << true << "other.vdp" << Answers { Choice::Discard } << true;
    QTest::newRow("Cancel keeps the project")
        << true << "other.vdp" << Answers { Choice::Cancel } << false;
}

void AppProjectsTest::openProject()
{
    QFETCH(bool, modified);
    QFETCH(QString, chosen);
    QFETCH(Answers, answers);
    QFETCH(bool, loaded);

    FakeSaveObject other;
    other.addModule(3, 5, "COM7");
    other.addModule(4, 6, "COM8");
    const QString otherFile = path("other.vdp");
    QVERIFY(ProjectFile::write(otherFile, treeOf(other)));
    if (!modified)
        QVERIFY(projects->saveIfModified(false));
    const QByteArray defaultBefore = readFile(projects->defaultProjectFile());
    dialogs->openNames << (chosen.isEmpty() ? chosen : path(chosen));
    dialogs->choices = answers;
    content->log.clear();

    projects->onOpenProject();

    const auto opened = dialogs->ofKind("open");
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0].title, QString("Open Project File"));
    QCOMPARE(opened[0].filter, QString("Varen Diagnostics Project Files (*.vdp)"));
    QCOMPARE(opened[0].directory, defaultDirectory());
    QCOMPARE(dialogs->ofKind("ask").size(), answers.size());
    QCOMPARE(readFile(projects->defaultProjectFile()), defaultBefore);
    QCOMPARE(projects->currentProjectFile(), loaded ? otherFile : projects->defaultProjectFile());
    QCOMPARE(content->moduleCount(), loaded ? 2 : 1);
    if (loaded) {
        QCOMPARE(logIndex("projectReset") + 1, logIndex("load"));
        QCOMPARE(content->title, QString("other.vdp"));
        QCOMPARE(projects->recentProjects(), QStringList { otherFile });
    }
    QVERIFY(dialogs->allAnswered());
}

void AppProjectsTest::saveAsksForANameOnlyWhenUnnamed()
{
    dialogs->saveNames << "";
    projects->onSave();
    QCOMPARE(dialogs->ofKind("save").size(), 1);
    QVERIFY(projects->isDefaultProject());
    QVERIFY(!QFileInfo::exists(projects->defaultProjectFile()));

    const QString file = path("named.vdp");
    dialogs->saveNames << file;
    projects->onSave();
    QCOMPARE(dialogs->ofKind("save").size(), 2);
    QCOMPARE(projects->currentProjectFile(), file);
    QCOMPARE(content->title, QString("named.vdp"));
    QCOMPARE(modulesInFile(file), 1);

    content->addModule(3, 1, "COM5");
    projects->onSave();
    QCOMPARE(dialogs->ofKind("save").size(), 2);
    QCOMPARE(modulesInFile(file), 2);
    QVERIFY(dialogs->allAnswered());
}

void AppProjectsTest::dialogsStartDirectory_data()
{
    QTest::addColumn<QString>("remembered"); // "" none, "data" inside the data folder
    QTest::addColumn<QString>("expected"); // "" the default directory

    QTest::newRow("nothing remembered") << ""
                                        << "";
    QTest::newRow("inside the data folder") << "data"
                                            << "";
    QTest::newRow("elsewhere") << "elsewhere"
                               << "elsewhere";
}

void AppProjectsTest::dialogsStartDirectory()
{
    QFETCH(QString, remembered);
    QFETCH(QString, expected);

    const auto resolve = [&](const QString& name) {
        if (name.isEmpty())
            return defaultDirectory();
        return name == "data" ? dataLocation() + "/projects" : path(name);
    };
    stopProjects();
    if (!remembered.isEmpty())
        QSettings().setValue("project/directory", resolve(remembered));
    startProjects();

    dialogs->openNames << "";
    projects->onOpenProject();
    dialogs->saveNames << "";
    projects->onSaveAs();

    QCOMPARE(dialogs->ofKind("open").value(0).directory, resolve(expected));
    QCOMPARE(dialogs->ofKind("save").value(0).directory, resolve(expected));
    QVERIFY(QFileInfo(resolve(expected)).isDir());
}

void AppProjectsTest::unwritableTarget_data()
{
    QTest::addColumn<int>("obstacle");
    QTest::newRow("read-only folder") << int(ReadOnlyFolder);
    QTest::newRow("folder is a file") << int(FolderIsAFile);
    QTest::newRow("disk full") << int(FullDisk);
}

void AppProjectsTest::unwritableTarget()
{
    QFETCH(int, obstacle);

    const QString folder = path("target");
    QVERIFY(QDir().mkpath(folder));
    const QString target
        = obstacle == FolderIsAFile ? path("plain-file/site.vdp") : folder + "/site.vdp";
    const QByteArray old = "<?xml version=\"1.0\"?>\n<project><modules/></project>\n";
    if (obstacle == FolderIsAFile) {
        QVERIFY(writeFile(path("plain-file"), "not a folder"));
    } else {
        QVERIFY(writeFile(target, old));
    }
    if (obstacle == ReadOnlyFolder) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(folder).isWritable())
            QSKIP("this user may write into read-only folders");
    }
    if (obstacle == FullDisk) {
        for (int id = 1; id < 300; ++id)
            content->addModule(4, id, "COM" + std::to_string(id));
    }
    dialogs->choices << Choice::Save;
    dialogs->saveNames << target;

    bool saved = true;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (obstacle == FullDisk)
            limit = std::make_unique<FileSizeLimit>(old.size() + 1024);
        saved = projects->saveIfModified(true);
    }

    QVERIFY(!saved);
    const auto errors = dialogs->ofKind("error");
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].title, QString("Save Failed"));
    QVERIFY2(errors[0].text.contains(target), qPrintable(errors[0].text));
    QVERIFY(projects->isDefaultProject());
    if (obstacle != FolderIsAFile) {
        QCOMPARE(readFile(target), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "site.vdp" });
    }
}

int main(int argc, char** argv)
{
    // ctest gives every test its own XDG folders; run by hand, the test makes its own, so it
    // never touches the user's settings or projects.
    QTemporaryDir sandbox;
    for (const char* name : { "XDG_CONFIG_HOME", "XDG_DATA_HOME" }) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, QFile::encodeName(sandbox.filePath(name)));
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Rusk");
    QCoreApplication::setApplicationName("Varen Diagnostics");
    AppProjectsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_appprojects.moc"
