// The process entry: registers the meta types, builds the application with its style and theme,
// starts the console thread, the module manager, the client bridge and the main window, runs the
// event loop, and shuts down in order, giving the console thread a few seconds to finish.
#include "app/consolethreadwaiter.h"
#include "app/logging.h"
#include "app/mainwindow.h"
#include "app/metatypes.h"
#include "app/themes.h"
#include "console/client.h"
#include "console/consolethread.h"
#include "modules/modulemanager.h"

#include <QApplication>
#include <QStyleFactory>

namespace {
const char* const MainTitle
    = "Varen Technologies: Model K57-X Unified Diagnostic GUI [K57-2683-06] [A4]";

void setUpApplication()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QCoreApplication::setOrganizationName(QStringLiteral("Rusk"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("rusk.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Varen Diagnostics"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VAREN_VERSION));
}

void connectConsoleThread(MainWindow* window, gui::ConsoleThread* consoleThread)
{
    QObject::connect(window, &MainWindow::closeConsole, consoleThread, &QThread::quit);
    QObject::connect(window, &QObject::destroyed, consoleThread, &QThread::quit);
    QObject::connect(consoleThread, SIGNAL(finished()), window, SLOT(consoleFinished()));
}

// The modules were shared with the window and the client; dropping them while the application
// still exists lets their deferred deletion run on the thread that owns their timers.
void releaseModules()
{
    ModuleManager::instance()->removeAllModules();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

int main(int argc, char* argv[])
{
    MetaTypes::registerAll();
    qputenv("--autoplay-policy", "user-gesture-required");
    // The web engine shares its OpenGL contexts with the widgets; this must precede the
    // application object.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    auto* application = new QApplication(argc, argv);
    setUpApplication();
    auto* palette = new QPalette(Themes::buildPalette(QStringLiteral("Ocean")));
    QApplication::setPalette(*palette);

    auto* consoleThread = new gui::ConsoleThread();
    consoleThread->start(QThread::InheritPriority);
    const auto manager = ModuleManager::instance();
    auto* client = new gui::Client(consoleThread, manager);
    manager->attachClient(client);
    setMainWindowPtr(std::make_shared<MainWindow>());
    MainWindow* window = mainWindowPtr().get();
    window->initialise();
    client->start();
    connectConsoleThread(window, consoleThread);
    window->show();
    window->setWindowTitle(QLatin1String(MainTitle));

    qCDebug(lcApp, "Executing...");
    const int code = application->exec();

    qCDebug(lcApp, "Stopping client...");
    client->stop();
    const bool finished = ConsoleThreadWaiter::wait(*consoleThread);
    qCDebug(lcApp, "Exiting...");
    // Widgets (the web view above all) must go before the application object.
    setMainWindowPtr(nullptr);
    // Deleting a running thread aborts the process; one that did not finish is left to the exit,
    // and so is the client that lives on it.
    if (finished) {
        delete consoleThread;
        delete client;
    }
    releaseModules();
    delete palette;
    delete application;
    return code;
}
