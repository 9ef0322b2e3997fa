// The main window as the project manager and the user meet it: its title, size limits and
// actions, the project content it saves and loads through the real module manager (the console
// is played by the test: it answers the manager's creation requests), the default module of a
// first start, and the closing sequence with its save question, answered by the dialog script.
#include "app/mainwindow.h"
#include "console/messages.h"
#include "modules/modulemanager.h"
#include "projects/appprojects.h"
#include "projects/projectsettings.h"

#include "offscreentest.h"

#include <QAction>
#include <QStandardPaths>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <sstream>

namespace pt = boost::property_tree;

namespace {
QTemporaryDir* scratch = nullptr;

QString dialogScript()
{
    return scratch->filePath(QStringLiteral("dialogs.txt"));
}

void appendAnswer(const QString& answer)
{
    QFile file(dialogScript());
    QVERIFY(file.open(QIODevice::Append));
    file.write(answer.toUtf8() + '\n');
}

// The kinds of the questions the dialogs were asked, in order.
QStringList questionsAsked()
{
    QFile record(dialogScript() + QStringLiteral(".asked"));
    if (!record.open(QIODevice::ReadOnly))
        return {};
    QStringList kinds;
    for (const QByteArray& line : record.readAll().split('\n')) {
        if (!line.isEmpty())
            kinds << QString::fromUtf8(line.left(line.indexOf('\t')));
    }
    return kinds;
}

pt::ptree emptyRoot()
{
    pt::ptree root;
    root.add_child("project", pt::ptree());
    return root;
}

pt::ptree projectFrom(const char* xml)
{
    std::istringstream stream(xml);
    pt::ptree root;
    pt::read_xml(stream, root);
    return root;
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void projectTitle_data();
    void projectTitle();
    void cannotBeMadeSmallerThanTheMinimum();
    void actions_data();
    void actions();
    void projectContentRoundTrip();
    void loadRejectsWhatIsNoProject_data();
    void loadRejectsWhatIsNoProject();
    void resetContentStartsAfresh();
    void firstConsoleReadyAddsOneQmrModule();
    void closingStoresTheGeometryAndStopsTheConsole();
    void closingSavesTheDefaultProjectWithoutAsking();
    void closingANamedModifiedProjectAsksFirst();

private:
    void createModule(tdi::UInt32 deviceId, tdi::UInt32 deviceType, void* settings = nullptr);

    std::shared_ptr<ModuleManager> manager;
    std::unique_ptr<MainWindow> window;
    std::vector<console::CreateDeviceRequest> requests;
    QMetaObject::Connection requestWatch;
};

void MainWindowTest::init()
{
    manager = ModuleManager::instance();
    manager->removeAllModules();
    QSettings().clear();
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    QFile::remove(dialogScript());
    QFile::remove(dialogScript() + QStringLiteral(".asked"));
    requests.clear();
    // The console's side of the creation requests: read while the request is being sent.
    requestWatch = connect(manager.get(), &ClientDevice::setProperty, this,
        [this](tdi::UInt16, tdi::UInt32 id, tdi::UInt32 size, void* value) {
            if (id == console::ReqCreateDevice && size == sizeof(console::CreateDeviceRequest))
                requests.push_back(*static_cast<console::CreateDeviceRequest*>(value));
        });
    window = std::make_unique<MainWindow>();
    window->initialise();
}

void MainWindowTest::cleanup()
{
    disconnect(requestWatch);
    window.reset();
    manager->removeAllModules();
}

// The console reporting a device it made; settings is what the creation request carried.
void MainWindowTest::createModule(tdi::UInt32 deviceId, tdi::UInt32 deviceType, void* settings)
{
    console::DeviceCreatedMessage message;
    message.deviceId = deviceId;
    message.deviceType = deviceType;
    message.param = settings;
    manager->onMessage(console::MsgDeviceCreated, sizeof(message), &message);
}

void MainWindowTest::projectTitle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("unnamed project") << QString() << QString("Varen Diagnostics");
    QTest::newRow("named project")
        << QString("site.vdp") << QString("site.vdp - Varen Diagnostics");
}

void MainWindowTest::projectTitle()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    window->setWindowTitle(QStringLiteral("something else"));
    window->setProjectTitle(name);
    QCOMPARE(window->windowTitle(), title);
}

void MainWindowTest::cannotBeMadeSmallerThanTheMinimum()
{
    QCOMPARE(window->minimumSize(), QSize(960, 540));
    window->show();
    window->resize(400, 300);
    QCOMPARE(window->size(), QSize(960, 540));
    window->resize(1200, 500);
    QCOMPARE(window->size(), QSize(1200, 540));
}

void MainWindowTest::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("checkable");
    const QKeySequence none;
    QTest::newRow("settings") << "actionSettings"
                              << "Settings"
                              << "Settings" << none << true;
    QTest::newRow("modules") << "actionAddModules"
                             << "Modules"
                             << "Add Modules" << none << true;
    QTest::newRow("help") << "actionHelp"
                          << "Help Manual..."
                          << "Help" << none << false;
    QTest::newRow("about") << "actionAbout"
                           << "About..."
                           << "About" << none << false;
    QTest::newRow("support") << "actionSupport"
                             << "Technical Support..."
                             << "Technical Support" << none << false;
    QTest::newRow("new") << "actionNewProject"
                         << "New Project"
                         << "New Project" << QKeySequence("Ctrl+N") << false;
    QTest::newRow("open") << "actionOpenProject"
                          << "Open Project"
                          << "Open Project" << QKeySequence("Ctrl+O") << false;
    QTest::newRow("save") << "actionSave"
                          << "Save"
                          << "Save Project" << QKeySequence("Ctrl+S") << false;
    QTest::newRow("save as") << "actionSaveAs"
                             << "Save As..."
                             << "Save Project As" << none << false;
}

void MainWindowTest::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, checkable);
    QAction* action = window->action(name.toLatin1().constData());
    QVERIFY(action);
    QCOMPARE(action->text(), text);
    QCOMPARE(action->toolTip(), toolTip);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isCheckable(), checkable);
    QVERIFY(!action->isChecked());
    // Every action but the settings one, which has nothing to show yet, is in the menu bar.
    QCOMPARE(!action->associatedWidgets().isEmpty(), name != QLatin1String("actionSettings"));
}

void MainWindowTest::projectContentRoundTrip()
{
    createModule(7, ModuleDescriptor::K57QMRType);
    QCOMPARE(manager->modules().size(), std::size_t(1));
    const ModuleBasePtr module = manager->modules().front();
    module->settings()->updateSetting(QStringLiteral("motherboard_video2"), "Camera North");
    window->projectSettings()->setSoundEnabled(false);

    pt::ptree saved = emptyRoot();
    QVERIFY(window->saveContent(saved));
    QCOMPARE(saved.get<int>("project.modules.module.type"), 4);
    QCOMPARE(saved.get<int>("project.modules.module.id"), 7);
    QCOMPARE(saved.get<std::string>("project.modules.module.settings.slots.1"),
        std::string("Camera North"));
    QCOMPARE(saved.get<std::string>("project.project_settings.sound"), std::string("false"));
    // Modules first, then the project settings.
    QCOMPARE(saved.get_child("project").front().first, std::string("modules"));
    QCOMPARE(saved.get_child("project").back().first, std::string("project_settings"));

    window->projectSettings()->setSoundEnabled(true);
    QVERIFY(window->loadContent(saved));
    QVERIFY(manager->modules().empty());
    QVERIFY(!window->projectSettings()->isSoundEnabled());
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(requests[0].requestedId, 7);
    QCOMPARE(requests[0].deviceType, tdi::UInt32(ModuleDescriptor::K57QMRType));
    QVERIFY(requests[0].param);

    createModule(7, ModuleDescriptor::K57QMRType, requests[0].param);
    QCOMPARE(manager->modules().size(), std::size_t(1));
    pt::ptree again = emptyRoot();
    QVERIFY(window->saveContent(again));
    QVERIFY(again == saved);
}

void MainWindowTest::loadRejectsWhatIsNoProject_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("keepsModules");
    QTest::newRow("no project element") << "<other><modules/></other>" << true;
    QTest::newRow("no modules") << "<project><project_settings><sound>true</sound>"
                                   "</project_settings></project>"
                                << false;
    QTest::newRow("no module of a known type")
        << "<project><modules><module><type>9</type><id>1</id></module></modules></project>"
        << false;
    QTest::newRow("type is not a number")
        << "<project><modules><module><type>x</type><id>1</id></module></modules></project>"
        << false;
    QTest::newRow("id missing")
        << "<project><modules><module><type>4</type></module></modules></project>" << false;
}

void MainWindowTest::loadRejectsWhatIsNoProject()
{
    QFETCH(QString, xml);
    QFETCH(bool, keepsModules);
    createModule(3, ModuleDescriptor::K68TLCType);
    QVERIFY(!window->loadContent(projectFrom(xml.toUtf8().constData())));
    QCOMPARE(manager->modules().size(), std::size_t(keepsModules ? 1 : 0));
}

void MainWindowTest::resetContentStartsAfresh()
{
    createModule(1, ModuleDescriptor::K57QMRType);
    createModule(2, ModuleDescriptor::K68TLCType);
    window->projectSettings()->setSoundEnabled(false);
    window->setProjectTitle(QStringLiteral("site.vdp"));
    window->resetContent();
    QVERIFY(manager->modules().empty());
    QVERIFY(window->projectSettings()->isSoundEnabled());
    QCOMPARE(window->windowTitle(), QString("Varen Diagnostics"));
}

void MainWindowTest::firstConsoleReadyAddsOneQmrModule()
{
    QVERIFY(!window->projects());
    emit manager->consoleReady();
    QVERIFY(window->projects());
    QVERIFY(window->projects()->isDefaultProject());
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(requests[0].requestedId, -1);
    QCOMPARE(requests[0].deviceType, tdi::UInt32(ModuleDescriptor::K57QMRType));

    // Ready again with a module: nothing more; ready again with none: the default module again.
    createModule(1, ModuleDescriptor::K57QMRType);
    emit manager->consoleReady();
    QCOMPARE(requests.size(), std::size_t(1));
    manager->removeAllModules();
    emit manager->consoleReady();
    QCOMPARE(requests.size(), std::size_t(2));
}

void MainWindowTest::closingStoresTheGeometryAndStopsTheConsole()
{
    window->show();
    window->resize(1100, 620);
    QStringList emitted;
    connect(
        window.get(), &MainWindow::closeConsole, this, [&emitted] { emitted << "closeConsole"; });
    connect(window.get(), &MainWindow::closing, this, [&emitted] { emitted << "closing"; });
    window->consoleFinished();
    QTest::ignoreMessage(QtDebugMsg, "MainWindow() closing");
    QVERIFY(window->close());
    QCOMPARE(emitted, QStringList({ "closeConsole", "closing" }));

    MainWindow restarted;
    restarted.initialise();
    QCOMPARE(restarted.size(), QSize(1100, 620));
}

void MainWindowTest::closingSavesTheDefaultProjectWithoutAsking()
{
    emit manager->consoleReady();
    createModule(1, ModuleDescriptor::K57QMRType);
    window->show();
    window->consoleFinished();
    QVERIFY(window->close());
    QVERIFY(QFile::exists(window->projects()->defaultProjectFile()));
    QCOMPARE(questionsAsked(), QStringList());
}

void MainWindowTest::closingANamedModifiedProjectAsksFirst()
{
    emit manager->consoleReady();
    createModule(1, ModuleDescriptor::K57QMRType);
    const QString named = scratch->filePath(QStringLiteral("site.vdp"));
    appendAnswer(QStringLiteral("save ") + named);
    window->projects()->onSaveAs();
    QVERIFY(QFile::exists(named));
    QCOMPARE(window->windowTitle(), QString("site.vdp - Varen Diagnostics"));
    window->show();
    window->consoleFinished();

    // Unchanged: closes without a question.
    QVERIFY(window->close());
    QCOMPARE(questionsAsked(), QStringList({ "save" }));

    window->show();
    createModule(2, ModuleDescriptor::K68TLCType);
    appendAnswer(QStringLiteral("project cancel"));
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(questionsAsked(), QStringList({ "save", "project" }));

    appendAnswer(QStringLiteral("project save"));
    QVERIFY(window->close());
    pt::ptree written;
    pt::read_xml(named.toStdString(), written);
    QCOMPARE(written.get_child("project.modules").size(), std::size_t(2));
}

int main(int argc, char** argv)
{
    QTemporaryDir dialogs;
    scratch = &dialogs;
    qputenv("VAREN_DIALOG_SCRIPT", QFile::encodeName(dialogScript()));
    // The web view of the main window: as root the engine's sandbox cannot run, and the engine
    // shares its contexts with the widgets.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QLoggingCategory::setFilterRules(QStringLiteral("varen.app.debug=true"));
    return runOffscreen<MainWindowTest>(argc, argv);
}

#include "tst_mainwindow.moc"
