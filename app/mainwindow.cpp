#include "app/mainwindow.h"

#include "app/addmoduledialog.h"
#include "app/logging.h"
#include "app/mainview.h"
#include "app/mainwidget.h"
#include "modules/modulemanager.h"
#include "pagehost/modulewidget.h"
#include "projects/appprojects.h"
#include "projects/projectsettings.h"
#include "projects/scriptedprojectdialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <boost/property_tree/ptree.hpp>

namespace {
const char* const SettingsGroup = "mainwindow";
const char* const HelpManual = "3852-UMN-00042.pdf";
constexpr int StateVersion = 0;
// The console thread only has to leave its event loop; if it cannot, the entry function waits
// for it once more and then exits regardless, so the window never hangs on it.
constexpr int ConsoleFinishBoundMs = 5000;
constexpr int ConsoleFinishPollMs = 100;

// Set by consoleFinished, read by the closing sequence; both run on the GUI thread.
bool consoleHasFinished = false;

std::shared_ptr<MainWindow>& mainWindowStorage()
{
    static std::shared_ptr<MainWindow> window;
    return window;
}
} // namespace

std::shared_ptr<MainWindow> mainWindowPtr()
{
    return mainWindowStorage();
}

void setMainWindowPtr(std::shared_ptr<MainWindow> window)
{
    mainWindowStorage() = std::move(window);
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
}

MainWindow::~MainWindow()
{
    // The dialog would otherwise be destroyed by the QWidget base, when this part of the window
    // is already gone, and its destroyed signal would reach onAddModuleDialogDestroyed.
    delete addModuleDialog.data();
}

void MainWindow::initialise()
{
    settings = std::make_shared<ProjectSettings>();
    setupUi();
    restoreWindow();
    setMinimumSize(MinimumWidth, MinimumHeight);
    connect(ModuleManager::instance().get(), &ModuleManager::consoleReady, this,
        &MainWindow::onConsoleReady);
}

// Form -----------------------------------------------------------------------------------------

void MainWindow::setupUi()
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(1024, 768);
    setWindowIcon(QIcon(QStringLiteral(":/icons/VarenLogoK57.png.ico")));
    createActions();
    centralView = new MainWidget(this);
    setCentralWidget(centralView);
    connectModuleView();
    createMenus();
    setWindowTitle(QStringLiteral("MainWindow"));
    QMetaObject::connectSlotsByName(this);
}

void MainWindow::createActions()
{
    createAction("actionSettings", tr("Settings"), tr("Settings"))->setCheckable(true);
    createAction("actionAddModules", tr("Modules"), tr("Add Modules"))->setCheckable(true);
    createAction("actionHelp", tr("Help Manual..."), tr("Help"));
    createAction("actionAbout", tr("About..."), tr("About"));
    createAction("actionSupport", tr("Technical Support..."), tr("Technical Support"));
    createAction(
        "actionNewProject", tr("New Project"), tr("New Project"), QKeySequence(tr("Ctrl+N")));
    createAction(
        "actionOpenProject", tr("Open Project"), tr("Open Project"), QKeySequence(tr("Ctrl+O")));
    createAction("actionSave", tr("Save"), tr("Save Project"), QKeySequence(tr("Ctrl+S")));
    createAction("actionSaveAs", tr("Save As..."), tr("Save Project As"));
    QAction* exit = createAction("actionExit", tr("Exit"), tr("Exit"), QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

QAction* MainWindow::createAction(const char* objectName, const QString& text,
    const QString& toolTip, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(objectName));
    action->setToolTip(toolTip);
    action->setShortcut(shortcut);
    return action;
}

QAction* MainWindow::action(const char* objectName) const
{
    return findChild<QAction*>(QLatin1String(objectName), Qt::FindDirectChildrenOnly);
}

void MainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addActions({ action("actionNewProject"), action("actionOpenProject"),
        action("actionSave"), action("actionSaveAs") });
    file->addSeparator();
    file->addAction(action("actionExit"));
    menuBar()->addMenu(tr("&Modules"))->addAction(action("actionAddModules"));
    menuBar()
        ->addMenu(tr("&Help"))
        ->addActions({ action("actionHelp"), action("actionSupport"), action("actionAbout") });
}

void MainWindow::connectModuleView()
{
    ModuleWidget* moduleWidget = centralView->view()->moduleWidget();
    moduleWidget->bridge()->setHost(this);
    connect(this, &MainWindow::closing, moduleWidget, &ModuleWidget::onExit);
}

void MainWindow::restoreWindow()
{
    QSettings store;
    store.beginGroup(QLatin1String(SettingsGroup));
    const QVariant geometry = store.value(QStringLiteral("geometry"));
    if (geometry.isValid())
        restoreGeometry(geometry.toByteArray());
    const QVariant state = store.value(QStringLiteral("windowState"));
    if (state.isValid())
        restoreState(state.toByteArray(), StateVersion);
}

void MainWindow::storeWindow()
{
    QSettings store;
    store.beginGroup(QLatin1String(SettingsGroup));
    store.setValue(QStringLiteral("geometry"), saveGeometry());
    store.setValue(QStringLiteral("windowState"), saveState(StateVersion));
}

// Projects and modules ---------------------------------------------------------------------------

void MainWindow::onConsoleReady()
{
    if (appProjects) {
        if (ModuleManager::instance()->modules().empty())
            addDefaultModules();
        return;
    }
    createProjects();
    if (!appProjects->loadCurrentProject())
        addDefaultModules();
}

void MainWindow::createProjects()
{
    appProjects = std::make_shared<AppProjects>(
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), createProjectDialogs());
    connect(action("actionNewProject"), &QAction::triggered, appProjects.get(),
        &AppProjects::onNewProject);
    connect(action("actionOpenProject"), &QAction::triggered, appProjects.get(),
        &AppProjects::onOpenProject);
    connect(action("actionSave"), &QAction::triggered, appProjects.get(), &AppProjects::onSave);
    connect(action("actionSaveAs"), &QAction::triggered, appProjects.get(), &AppProjects::onSaveAs);
    connect(appProjects.get(), &AppProjects::newProject, this, &MainWindow::addDefaultModules);
    // The manager's reset removes the old modules and has the console release their devices and
    // ports; it holds the new project's creation requests back until the console is ready again.
    connect(appProjects.get(), &AppProjects::projectReset, ModuleManager::instance().get(),
        &ModuleManager::resetForNewProject);
    appProjects->setSaveObject(this);
}

void MainWindow::addDefaultModules()
{
    const auto manager = ModuleManager::instance();
    const auto descriptors = manager->descriptors();
    for (const auto& descriptor : descriptors) {
        if (descriptor->deviceType == ModuleDescriptor::K57QMRType)
            manager->AddModule(descriptor);
    }
}

bool MainWindow::saveContent(boost::property_tree::ptree& root)
{
    try {
        auto& project = root.get_child("project");
        return ModuleManager::instance()->saveModules(project) && settings->write(project);
    } catch (const std::exception& error) {
        qCDebug(lcApp, "MainWindow: the project could not be written: %s", error.what());
        return false;
    }
}

bool MainWindow::loadContent(const boost::property_tree::ptree& root)
{
    const auto project = root.get_child_optional("project");
    if (!project)
        return false;
    try {
        const auto manager = ModuleManager::instance();
        manager->removeAllModules();
        const bool modulesLoaded = manager->loadModules(*project);
        const bool settingsLoaded = settings->read(*project);
        return modulesLoaded && settingsLoaded;
    } catch (const std::exception& error) {
        qCDebug(lcApp, "MainWindow: the project could not be read: %s", error.what());
        return false;
    }
}

void MainWindow::resetContent()
{
    settings->reset();
    ModuleManager::instance()->removeAllModules();
    setProjectTitle(QString());
}

void MainWindow::setProjectTitle(const QString& name)
{
    const QString application = QCoreApplication::applicationName();
    setWindowTitle(name.isEmpty() ? application : name + QStringLiteral(" - ") + application);
}

// Actions ----------------------------------------------------------------------------------------

void MainWindow::on_actionAddModules_triggered(bool triggered)
{
    if (!triggered)
        return;
    if (!addModuleDialog) {
        addModuleDialog = new AddModuleDialog(this);
        connect(
            addModuleDialog, &QObject::destroyed, this, &MainWindow::onAddModuleDialogDestroyed);
        connect(addModuleDialog, &AddModuleDialog::addModule, ModuleManager::instance().get(),
            &ModuleManager::AddModule);
        addModuleDialog->installEventFilter(this);
    }
    addModuleDialog->show();
    addModuleDialog->raise();
    addModuleDialog->activateWindow();
}

void MainWindow::onAddModuleDialogDestroyed()
{
    addModuleDialog = nullptr;
    uncheckAddModules();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The action stays checked while the dialog is visible; once it is closed, one click must
    // open it again rather than only uncheck the action.
    if (watched == addModuleDialog && event->type() == QEvent::Hide)
        uncheckAddModules();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::uncheckAddModules()
{
    QAction* modules = action("actionAddModules");
    const QSignalBlocker blocker(modules);
    modules->setChecked(false);
}

void MainWindow::on_actionHelp_triggered(bool)
{
    const QString path
        = QCoreApplication::applicationDirPath() + QStringLiteral("/help/") + HelpManual;
    const QFileInfo manual(path);
    if (manual.exists() && manual.isFile())
        QDesktopServices::openUrl(QUrl::fromUserInput(path));
}

void MainWindow::on_actionSupport_triggered(bool)
{
    QMessageBox::information(this, tr("Technical Support"),
        tr("For technical support please contact %1 and quote the version of %2 (%3) and the "
           "model number of the unit.")
            .arg(QCoreApplication::organizationName(), QCoreApplication::applicationName(),
                QCoreApplication::applicationVersion()));
}

void MainWindow::on_actionAbout_triggered(bool)
{
    QMessageBox::about(this, tr("About %1").arg(QCoreApplication::applicationName()),
        tr("<h3>%1</h3><p>Version %2</p><p>Diagnostics and configuration of K57 and K68 "
           "fibre-optic multiplexer units.</p>")
            .arg(QCoreApplication::applicationName().toHtmlEscaped(),
                QCoreApplication::applicationVersion().toHtmlEscaped()));
}

// Closing ----------------------------------------------------------------------------------------

void MainWindow::closeApplication()
{
    close();
}

void MainWindow::consoleFinished()
{
    consoleHasFinished = true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (appProjects && !appProjects->saveIfModified(!appProjects->isDefaultProject())) {
        event->ignore();
        return;
    }
    qCDebug(lcApp, "MainWindow() closing");
    storeWindow();
    emit closeConsole();
    emit closing();
    waitForConsoleThread();
    event->accept();
}

void MainWindow::waitForConsoleThread()
{
    // The timer wakes the wait now and then, so the bound is checked even when no event comes.
    QTimer wake;
    wake.start(ConsoleFinishPollMs);
    const QDeadlineTimer deadline(ConsoleFinishBoundMs);
    while (!consoleHasFinished && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (!consoleHasFinished)
        qCDebug(lcApp, "MainWindow: the console thread has not finished; closing regardless");
}
