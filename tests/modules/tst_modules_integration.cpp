// Modules over the real console and simulated units on pseudo-terminals: modules are made the
// way the application makes them (request 1, message 2, registration with the client bridge,
// message 3), connect to the unit, poll, queue, time out, lose and regain their port, and come
// back from a saved project after a console reset.
//
// What reached the unit is read from its answers: a QMR board refuses "i" and accepts the
// diagnostics start command, a K68-TLC refuses "i" and accepts "v 42 14 0001", and a register
// read answers as many bytes as it asked for.
#include "../support/unitsimprocess.h"
#include "console/client.h"
#include "console/metatypes.h"
#include "logcapture.h"
#include "modules/modulek68tlc.h"
#include "modules/modulemanager.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace console;
using testsupport::UnitSimProcess;

namespace {

constexpr int Patience = 30000; // ms; a slow, busy machine still gets there

// A reply text split as the pages split it: module name, command as sent, reply bytes.
struct Reply
{
    QString name;
    QString command;
    QString data; // "XX " per byte

    static Reply from(const QString& text)
    {
        Reply reply;
        const int nameEnd = text.indexOf('\n');
        reply.name = text.left(nameEnd - 1);
        const QString rest = text.mid(nameEnd + 1);
        const int commandEnd = rest.indexOf('\n');
        reply.command = commandEnd < 0 ? QString() : rest.left(commandEnd + 1);
        reply.data = rest.mid(commandEnd + 1);
        return reply;
    }
    int bytes() const { return data.size() / 3; }
};

QList<Reply> replies(const QSignalSpy& spy, int from = 0)
{
    QList<Reply> result;
    for (int i = from; i < spy.count(); ++i)
        result << Reply::from(spy.at(i).at(0).toString());
    return result;
}

QList<EBoardStatus> boardStatuses(const QSignalSpy& spy)
{
    QList<EBoardStatus> result;
    for (const auto& arguments : spy)
        result << arguments.at(0).value<EBoardStatus>();
    return result;
}

QString com(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

} // namespace

class ModulesIntegrationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(appDir.isValid()); // no descriptor file: the built-in kinds
        consoleThread.start();
        manager = std::make_shared<ModuleManager>(appDir.path());
        client = new gui::Client(&consoleThread, manager);
        manager->attachClient(client);
        QSignalSpy ready(manager.get(), &ModuleManager::consoleReady);
        client->start();
        QCOMPARE(ready.count(), 1);
    }

    // Every case leaves a fresh project behind: the console releases the case's devices and
    // ports, and its modules go.
    void cleanup()
    {
        units.clear();
        manager->resetForNewProject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase()
    {
        client->stop();
        consoleThread.quit();
        QVERIFY(consoleThread.wait(10000));
        delete client;
        manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void k57ConnectsWithTheStartCommand()
    {
        QVERIFY(startUnit("qmr", 21));
        ModuleBasePtr module;
        QVERIFY(addModule(ModuleDescriptor::K57QMRType, module));
        QSignalSpy read(module.get(), &ModuleBase::readrecvd);
        QSignalSpy boards(module.get(), &ModuleBase::boardStatusUpdated);
        QTRY_VERIFY_WITH_TIMEOUT(module->ports().contains(com(21)), Patience);

        module->onSetSerialPort(com(21));
        QTRY_COMPARE_WITH_TIMEOUT(module->currentBoardStatus(), EBoardStatus::Connected, Patience);
        QCOMPARE(read.at(0).at(0).toString(), QString("COMMAND SUCCESSFUL"));
        QCOMPARE(boardStatuses(boards),
            (QList<EBoardStatus> { EBoardStatus::Connecting, EBoardStatus::Connected }));
        QCOMPARE(module->currentPortStatus(), EPortStatus::Open);
    }

    void k68ConnectsWithIdentifyUntilItsScreenIsSet()
    {
        QVERIFY(startUnit("k68", 22));
        ModuleBasePtr module;
        QVERIFY(addModule(ModuleDescriptor::K68TLCType, module));
        QSignalSpy read(module.get(), &ModuleBase::readrecvd);
        QVERIFY(connectTo(module, 22));
        QCOMPARE(read.at(0).at(0).toString(), QString("COMMAND FAILED"));

        module->onScreenSet(true);
        module->onSetSerialPort("<None>");
        QCOMPARE(module->currentBoardStatus(), EBoardStatus::Lost);
        QTRY_COMPARE_WITH_TIMEOUT(module->currentPortStatus(), EPortStatus::Invalid, Patience);
        read.clear();
        QVERIFY(connectTo(module, 22));
        QCOMPARE(read.at(0).at(0).toString(), QString("COMMAND SUCCESSFUL"));
    }

    void pollingTakesANewListAtTheNextReply()
    {
        ModuleBasePtr module;
        QVERIFY(connectedK57(23, module));
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);

        module->onStartDataRefresh({ "v 40 00 0001\r\n", "v 40 00 0002\r\n" });
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 4, Patience);
        const QList<Reply> first = replies(data);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(first[i].name, QString("K57-QMR"));
            QCOMPARE(first[i].command, QString("v 40 00 000%1\r\n").arg(i % 2 + 1));
            QCOMPARE(first[i].bytes(), i % 2 + 1);
        }

        // The reply of the command in flight belongs to the old list and is swallowed.
        const int switched = data.count();
        module->onStartDataRefresh({ "v 41 00 0003\r\n" });
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= switched + 3, Patience);
        for (const Reply& reply : replies(data, switched)) {
            QCOMPARE(reply.command, QString("v 41 00 0003\r\n"));
            QCOMPARE(reply.bytes(), 3);
        }
    }

    void anEmptyListPollsTheDefaultListOnce()
    {
        ModuleBasePtr module;
        QVERIFY(connectedK57(24, module));
        std::vector<std::string> defaults;
        module->defaultRefreshCommands(defaults);
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);

        module->onStartDataRefresh({ "v 40 00 0001\r\n" });
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 1, Patience);
        const int switched = data.count();
        module->onStartDataRefresh({});
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= switched + 2, Patience);
        QList<Reply> received = replies(data, switched);
        QCOMPARE(received[0].command, QString::fromStdString(defaults[0]));
        QCOMPARE(received[0].bytes(), 256);
        QCOMPARE(received[1].command, QString::fromStdString(defaults[1]));

        // Asked again while polling the default list: polling goes on, nothing restarts and no
        // reply is swallowed.
        const int askedAgain = data.count();
        module->onStartDataRefresh({});
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= askedAgain + 3, Patience);
        received = replies(data, switched);
        for (int i = 1; i < received.size(); ++i) {
            const auto at = [&defaults](const QString& command) {
                return std::find(defaults.begin(), defaults.end(), command.toStdString())
                    - defaults.begin();
            };
            QCOMPARE(at(received[i].command), (at(received[i - 1].command) + 1) % 40);
        }
    }

    void aSecondCommandWaitsForTheFirstReply()
    {
        ModuleBasePtr module;
        QVERIFY(connectedK57(25, module));
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);
        LogCapture logs;

        module->on_execcmd("v 40 00 0001\r\n");
        module->on_execcmd("v 40 00 0002\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(data.count(), 2, Patience);
        const QList<Reply> received = replies(data);
        QCOMPARE(received[0].command, QString("v 40 00 0001\r\n"));
        QCOMPARE(received[0].bytes(), 1);
        QCOMPARE(received[1].command, QString("v 40 00 0002\r\n"));
        QCOMPARE(received[1].bytes(), 2);
        QCOMPARE(logs.count("Warning: 'v 40 00 0001\r\n' incomplete, queueing command for later "
                            "execution"),
            1);
        QCOMPARE(logs.count("Executing queued command: v 40 00 0002\r\n"), 1);
    }

    void aQueuedCommandGoesOutWhenPollingStops()
    {
        ModuleBasePtr module;
        QVERIFY(connectedK57(26, module));
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);
        LogCapture logs;

        module->onStartDataRefresh({ "v 40 00 0001\r\n" });
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 1, Patience);
        module->on_execcmd("v 40 00 0005\r\n");
        QVERIFY(logs.anyContains("incomplete, queueing command for later execution"));
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 3, Patience);

        const int stopped = data.count();
        module->onStopDataRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= stopped + 1, Patience);
        const Reply queued = replies(data, stopped).front();
        QCOMPARE(queued.command, QString("v 40 00 0005\r\n"));
        QCOMPARE(queued.bytes(), 5);

        // Nothing polls any more: the next command goes out at once and is the next reply.
        logs.clear();
        module->on_execcmd("v 40 00 0006\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= stopped + 2, Patience);
        QCOMPARE(replies(data, stopped + 1).front().command, QString("v 40 00 0006\r\n"));
        QVERIFY(!logs.anyContains("incomplete"));
    }

    // The unit waits for the rest of a line that never ends, so that refresh command gets no
    // reply; the start command takes its place and polling moves on past it.
    void anUnansweredRefreshCommandIsReplacedByTheStartCommand()
    {
        ModuleBasePtr module;
        QVERIFY(connectedK57(27, module));
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);

        module->onStartDataRefresh({ "v 40 00 0001", "v 40 00 0002\r\n" });
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 2, Patience);
        const QList<Reply> received = replies(data);
        QCOMPARE(received[0].command, QString("VAREN_DIAGNOSTICS_START\r\n"));
        QCOMPARE(received[1].command, QString("v 40 00 0002\r\n"));
        QCOMPARE(received[1].bytes(), 2);
    }

    void aSilentUnitIsUnavailableAndTriedAgain()
    {
        QVERIFY(startUnit("qmr", 28, { "--silent" }));
        ModuleBasePtr module;
        QVERIFY(addModule(ModuleDescriptor::K57QMRType, module));
        QTRY_VERIFY_WITH_TIMEOUT(module->ports().contains(com(28)), Patience);
        QSignalSpy boards(module.get(), &ModuleBase::boardStatusUpdated);
        QSignalSpy info(module.get(), &ModuleBase::showInfoMsg);

        module->onSetSerialPort(com(28));
        QTRY_VERIFY_WITH_TIMEOUT(boards.count() >= 4, Patience);
        QCOMPARE(boardStatuses(boards).mid(0, 4),
            (QList<EBoardStatus> { EBoardStatus::Connecting, EBoardStatus::Unavailable,
                EBoardStatus::Connecting, EBoardStatus::Unavailable }));
        QStringList messages;
        for (int i = 0; i < 4; ++i)
            messages << info.at(i).at(0).toString();
        QCOMPARE(messages,
            (QStringList { "Attempting Connection...", "Command Timed Out",
                "Attempting Connection...", "Command Timed Out" }));
    }

    void unpluggingLosesTheBoardAndPluggingInReconnects()
    {
        ModuleBasePtr module;
        QVERIFY(connectedK57(29, module));
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);
        module->onStartDataRefresh({});
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= 2, Patience);
        QSignalSpy boards(module.get(), &ModuleBase::boardStatusUpdated);
        QSignalSpy ports(module.get(), &ModuleBase::portStatus);

        units.back()->stop(SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(module->currentBoardStatus(), EBoardStatus::Lost, Patience);
        QCOMPARE(module->currentPortStatus(), EPortStatus::Closed);
        QTRY_VERIFY_WITH_TIMEOUT(!module->ports().contains(com(29)), Patience);

        QVERIFY(startUnit("qmr", 29));
        QTRY_COMPARE_WITH_TIMEOUT(module->currentBoardStatus(), EBoardStatus::Connected, Patience);
        const QList<EBoardStatus> statuses = boardStatuses(boards);
        QCOMPARE(statuses.first(), EBoardStatus::Lost);
        QCOMPARE(statuses.last(), EBoardStatus::Connected);
        for (EBoardStatus between : statuses.mid(1, statuses.size() - 2)) {
            QVERIFY(between == EBoardStatus::Connecting || between == EBoardStatus::Unavailable);
        }
        QList<EPortStatus> portStatuses;
        for (const auto& arguments : ports)
            portStatuses << arguments.at(0).value<EPortStatus>();
        QCOMPARE(portStatuses,
            (QList<EPortStatus> { EPortStatus::Closed, EPortStatus::Updating, EPortStatus::Open }));

        // Polling ended with the port: a command goes out at once and its reply is the next.
        LogCapture logs;
        const int before = data.count();
        module->on_execcmd("v 40 00 0004\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= before + 1, Patience);
        QCOMPARE(replies(data, before).front().command, QString("v 40 00 0004\r\n"));
        module->on_execcmd("v 40 00 0003\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(data.count() >= before + 2, Patience);
        QCOMPARE(replies(data, before + 1).front().bytes(), 3);
        QVERIFY(!logs.anyContains("incomplete"));
    }

    // The saved module comes back on its port: possible only because the reset made the console
    // release the old module's device, which held the port.
    void aSavedProjectComesBackAfterAConsoleReset()
    {
        QVERIFY(startUnit("k68", 30));
        ModuleBasePtr module;
        QVERIFY(addModule(ModuleDescriptor::K68TLCType, module));
        QVERIFY(connectTo(module, 30));
        module->onSettingUpdated("remote_serial_slot2card4_serial4", "Alarm panel");
        boost::property_tree::ptree project;
        QVERIFY(manager->saveModules(project));
        const tdi::UInt16 savedId = module->deviceID();

        QSignalSpy removed(manager.get(), &ModuleManager::moduleRemoved);
        QSignalSpy added(manager.get(), &ModuleManager::moduleAdded);
        QSignalSpy ready(manager.get(), &ModuleManager::consoleReady);
        manager->resetForNewProject();
        QCOMPARE(removed.count(), 1);
        QVERIFY(manager->modules().empty());
        QVERIFY(manager->loadModules(project));

        QTRY_COMPARE_WITH_TIMEOUT(added.count(), 1, Patience);
        const ModuleBasePtr loaded = qvariant_cast<ModuleBasePtr>(added.at(0).at(0));
        QVERIFY(loaded != module);
        QVERIFY(qobject_cast<ModuleK68TLC*>(loaded.get()));
        QCOMPARE(loaded->deviceID(), savedId);
        QCOMPARE(
            loaded->onSettingRequested("remote_serial_slot2card4_serial4"), QString("Alarm panel"));
        QCOMPARE(manager->selectedModule(), loaded);
        QTRY_COMPARE_WITH_TIMEOUT(loaded->currentBoardStatus(), EBoardStatus::Connected, Patience);
        QCOMPARE(loaded->selectedPort(), std::string("COM30"));
        // The reset's own Ready is not announced again.
        QCOMPARE(ready.count(), 0);
        QCOMPARE(added.count(), 1);
    }

    // The console drops the port lists it posts while resetting; the manager asks again after.
    void aPortThatAppearsDuringAConsoleResetIsListed()
    {
        manager->resetForNewProject();
        QVERIFY(startUnit("qmr", 31));
        ModuleBasePtr module;
        QVERIFY(addModule(ModuleDescriptor::K57QMRType, module));
        QTRY_VERIFY_WITH_TIMEOUT(module->ports().contains(com(31)), Patience);
    }

private:
    bool startUnit(const std::string& board, int number, std::vector<std::string> extra = {})
    {
        extra.insert(extra.end(), { "--baud", "0" });
        units.push_back(
            std::make_unique<UnitSimProcess>(testsupport::simArguments(board, number, extra)));
        return QTest::qWaitFor([&] { return manager->ports().contains(com(number)); }, Patience);
    }

    bool addModule(int type, ModuleBasePtr& module)
    {
        QSignalSpy added(manager.get(), &ModuleManager::moduleAdded);
        for (const auto& descriptor : manager->descriptors()) {
            if (descriptor->deviceType == type)
                manager->AddModule(descriptor);
        }
        if (!QTest::qWaitFor([&] { return added.count() == 1; }, Patience))
            return false;
        module = qvariant_cast<ModuleBasePtr>(added.at(0).at(0));
        return module->deviceID() != StateDeviceId;
    }

    bool connectTo(const ModuleBasePtr& module, int number)
    {
        if (!QTest::qWaitFor([&] { return module->ports().contains(com(number)); }, Patience))
            return false;
        module->onSetSerialPort(com(number));
        return QTest::qWaitFor(
            [&] { return module->currentBoardStatus() == EBoardStatus::Connected; }, Patience);
    }

    bool connectedK57(int number, ModuleBasePtr& module)
    {
        return startUnit("qmr", number) && addModule(ModuleDescriptor::K57QMRType, module)
            && connectTo(module, number);
    }

    QTemporaryDir appDir;
    gui::ConsoleThread consoleThread;
    std::shared_ptr<ModuleManager> manager;
    gui::Client* client = nullptr;
    std::vector<std::unique_ptr<UnitSimProcess>> units;
};

int main(int argc, char** argv)
{
    registerMetaTypes();
    ModuleBase::registerMetaTypes();
    QCoreApplication app(argc, argv);
    ModulesIntegrationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modules_integration.moc"
