// The module command engine fed with the console's records as the client bridge delivers them:
// port choice and the requests it sends, port status records, connection, reply texts. Timing
// and the unit's real answers are covered by tst_modules_integration.
#include "console/metatypes.h"
#include "logcapture.h"
#include "modules/modulek57qmr.h"
#include "modules/modulek68tlc.h"

#include <QSignalSpy>
#include <QtTest>

using namespace console;

namespace {

// What the module asked of its console device, read while the request was signalled.
struct Request
{
    UInt32 id;
    QString text; // requests 4, 5, 8: the string; 6: the number
    SerialConfig config; // request 3
};

class RequestLog
{
public:
    explicit RequestLog(ModuleBase& module)
    {
        QObject::connect(&module, &ClientDevice::setProperty, &context,
            [this, &module](tdi::UInt16 device, tdi::UInt32 id, tdi::UInt32 size, void* value) {
                QCOMPARE(device, module.deviceID());
                record(id, size, value);
            });
    }

    std::vector<Request> requests;
    QStringList commands() const
    {
        QStringList sent;
        for (const Request& request : requests) {
            if (request.id == ReqWrite)
                sent << request.text;
        }
        return sent;
    }

private:
    void record(UInt32 id, UInt32 size, void* value)
    {
        Request request { id, {}, {} };
        if (id == ReqOpen) {
            QCOMPARE(size, UInt32(sizeof(SerialConfig)));
            request.config = *static_cast<SerialConfig*>(value);
        } else if (id == ReqBaudRate) {
            QCOMPARE(size, UInt32(sizeof(UInt32)));
            request.text = QString::number(*static_cast<UInt32*>(value));
        } else {
            QCOMPARE(size, UInt32(sizeof(std::string)));
            request.text = QString::fromStdString(*static_cast<std::string*>(value));
        }
        requests.push_back(request);
    }

    QObject context;
};

void deliverPortStatus(ModuleBase& module, bool open, const std::string& name)
{
    PortStatusMessage status;
    status.open = open;
    status.portName = name;
    module.onMessage(MsgPortStatus, sizeof status, &status);
}

void deliverOutput(ModuleBase& module, OutputKind kind, const QByteArray& bytes)
{
    DeviceOutputMessage output;
    output.header.kind = kind;
    output.isData = kind == OutputData;
    output.length = static_cast<std::uint16_t>(bytes.size());
    output.data = bytes.constData();
    module.onMessage(MsgDeviceOutput, sizeof output, &output);
}

std::shared_ptr<ModuleDescriptor> descriptorNamed(const QString& name)
{
    auto descriptor = std::make_shared<ModuleDescriptor>();
    descriptor->name = name;
    return descriptor;
}

ModuleBasePtr makeK57()
{
    return ModuleBase::create<ModuleK57QMR>(descriptorNamed("K57-QMR"), 2);
}

// Port COM4 chosen and open, the start command answered.
void connectToUnit(ModuleBase& module)
{
    module.onSetSerialPort("COM4");
    deliverPortStatus(module, true, "COM4");
    deliverOutput(module, OutputData, "");
    QCOMPARE(module.currentBoardStatus(), EBoardStatus::Connected);
}

} // namespace

class ModuleBaseTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void choosingPortsSendsTheMatchingRequest()
    {
        const ModuleBasePtr module = makeK57();
        RequestLog log(*module);

        module->onSetSerialPort("COM4");
        module->onSetSerialPort("COM4");
        module->onSetSerialPort("COM5");
        module->onSetSerialPort("<None>");
        module->onSetSerialPort("COM6");

        QCOMPARE(log.requests.size(), std::size_t(4));
        QCOMPARE(log.requests[0].id, UInt32(ReqOpen));
        QCOMPARE(log.requests[0].config.portName, std::string("COM4"));
        QCOMPARE(log.requests[0].config.baudRate, UInt32(115200));
        QCOMPARE(log.requests[0].config.decoderKind, UInt32(DecoderK57QMR));
        QCOMPARE(log.requests[1].id, UInt32(ReqSelectPort));
        QCOMPARE(log.requests[1].text, QString("COM5"));
        QCOMPARE(log.requests[2].id, UInt32(ReqClose));
        QCOMPARE(log.requests[2].text, QString("<None>"));
        QCOMPARE(log.requests[3].id, UInt32(ReqOpen));
        QCOMPARE(log.requests[3].config.portName, std::string("COM6"));
        QCOMPARE(module->selectedPort(), std::string("COM6"));
        QCOMPARE(module->settings()->port(), std::string("COM6"));
    }

    void choosingAPortLogsThePortStatusChange()
    {
        const ModuleBasePtr module = makeK57();
        QSignalSpy status(module.get(), &ModuleBase::portStatus);
        LogCapture logs;
        module->onSetSerialPort("COM4");
        QCOMPARE(logs.lines(), QStringList { "Port status 'unknown' => 'updating', port=COM4" });
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).value<EPortStatus>(), EPortStatus::Updating);
        QCOMPARE(status.at(0).at(1).toString(), QString("COM4"));
    }

    void connectionUsesTheModulesFirstCommand_data()
    {
        QTest::addColumn<bool>("k57");
        QTest::addColumn<bool>("screenSet");
        QTest::addColumn<QString>("command");
        QTest::newRow("K57-QMR") << true << false << "VAREN_DIAGNOSTICS_START\r\n";
        QTest::newRow("K68-TLC") << false << false << "i\r\n";
        QTest::newRow("K68-TLC with a QMR screen") << false << true << "v 42 14 0001\r\n";
    }

    void connectionUsesTheModulesFirstCommand()
    {
        QFETCH(bool, k57);
        QFETCH(bool, screenSet);
        const ModuleBasePtr module
            = k57 ? makeK57() : ModuleBase::create<ModuleK68TLC>(descriptorNamed("K68-TLC"), 3);
        if (screenSet)
            module->onScreenSet(true);
        RequestLog log(*module);
        QSignalSpy boards(module.get(), &ModuleBase::boardStatusUpdated);
        QSignalSpy info(module.get(), &ModuleBase::showInfoMsg);
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);

        module->onSetSerialPort("COM4");
        QCOMPARE(log.requests.back().config.decoderKind, UInt32(k57 ? 0 : 1));
        deliverPortStatus(*module, true, "COM4");
        QCOMPARE(module->currentPortStatus(), EPortStatus::Open);
        QCOMPARE(module->currentBoardStatus(), EBoardStatus::Connecting);
        QTEST(log.commands().join('|'), "command");
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.at(0).at(0).toString(), QString("Attempting Connection..."));

        // Whatever the unit answers confirms the connection and is not reported.
        deliverOutput(*module, OutputData, "garbled");
        QCOMPARE(module->currentBoardStatus(), EBoardStatus::Connected);
        QCOMPARE(boards.count(), 2);
        QCOMPARE(data.count(), 0);
    }

    void replyTextCarriesNameCommandAndLatin1Bytes()
    {
        const ModuleBasePtr module = makeK57();
        connectToUnit(*module);
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);
        QSignalSpy read(module.get(), &ModuleBase::readrecvd);

        module->on_execcmd("v 40 00 0002\r\n");
        deliverOutput(*module, OutputText, QByteArray("COMMAND SUCCESSFUL\0", 19).left(18));
        deliverOutput(*module, OutputData, QByteArray("\xE9\xFF\x41", 3));

        QCOMPARE(read.count(), 1);
        QCOMPARE(read.at(0).at(0).toString(), QString("COMMAND SUCCESSFUL"));
        QCOMPARE(data.count(), 1);
        const QString expected
            = QString("K57-QMR\r\nv 40 00 0002\r\n") + QChar(0xE9) + QChar(0xFF) + QChar('A');
        QCOMPARE(data.at(0).at(0).toString(), expected);
    }

    void nothingIsSentWhileTheBoardIsNotConnected()
    {
        const ModuleBasePtr module = makeK57();
        RequestLog log(*module);
        module->on_execcmd("v 40 00 0001\r\n");
        module->onStartDataRefresh({});
        module->onSetSerialPort("COM4");
        module->on_execcmd("v 40 00 0001\r\n");
        module->onStartDataRefresh({ "v 40 00 0001\r\n" });
        QCOMPARE(log.requests.size(), std::size_t(1));
        QCOMPARE(log.requests[0].id, UInt32(ReqOpen));
    }

    void portStatusRecords_data()
    {
        QTest::addColumn<QString>("chosen"); // after COM4
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("recordPort");
        QTest::addColumn<EPortStatus>("portStatus");
        QTest::addColumn<EBoardStatus>("boardStatus");

        QTest::newRow("own port open")
            << "COM4" << true << "COM4" << EPortStatus::Open << EBoardStatus::Connected;
        QTest::newRow("own port closed")
            << "COM4" << false << "COM4" << EPortStatus::Closed << EBoardStatus::Lost;
        QTest::newRow("nameless closed")
            << "COM4" << false << "" << EPortStatus::Closed << EBoardStatus::Lost;
        QTest::newRow("another port")
            << "COM4" << true << "COM9" << EPortStatus::Updating << EBoardStatus::Lost;
        QTest::newRow("no port chosen")
            << "<None>" << false << "" << EPortStatus::Invalid << EBoardStatus::Lost;
    }

    void portStatusRecords()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, open);
        QFETCH(QString, recordPort);
        const ModuleBasePtr module = makeK57();
        connectToUnit(*module);
        module->onSetSerialPort(chosen);
        deliverPortStatus(*module, open, recordPort.toStdString());
        QTEST(module->currentPortStatus(), "portStatus");
        QTEST(module->currentBoardStatus(), "boardStatus");
    }

    // A lost port ends polling, and the reply of the command in flight is swallowed.
    void lostPortEndsPollingAndSwallowsTheOutstandingReply()
    {
        const ModuleBasePtr module = makeK57();
        connectToUnit(*module);
        RequestLog log(*module);
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);
        module->onStartDataRefresh({ "v 40 00 0001\r\n" });
        QCOMPARE(log.commands(), QStringList { "v 40 00 0001\r\n" });

        deliverPortStatus(*module, false, "");
        QCOMPARE(module->currentBoardStatus(), EBoardStatus::Lost);
        deliverOutput(*module, OutputData, "01 ");
        QCOMPARE(data.count(), 0);
        QCOMPARE(log.commands().size(), 1);
    }

    void baudRateChangesNowAndOpensWithItNextTime()
    {
        const ModuleBasePtr module = makeK57();
        module->onSetSerialPort("COM4");
        RequestLog log(*module);
        module->onSetBaudRate(9600);
        module->onSetBaudRate(0);
        module->onSetBaudRate(-1);
        QCOMPARE(log.requests.size(), std::size_t(1));
        QCOMPARE(log.requests[0].id, UInt32(ReqBaudRate));
        QCOMPARE(log.requests[0].text, QString("9600"));
        QCOMPARE(module->settings()->baudRate(), 9600);
        QCOMPARE(module->selectedBaudRate(), 115200);

        module->onSetSerialPort("<None>");
        module->onSetSerialPort("COM4");
        QCOMPARE(log.requests.back().config.baudRate, UInt32(9600));
        QCOMPARE(module->selectedBaudRate(), 9600);
    }

    void aStoredPortOpensWhenItIsListed()
    {
        const ModuleBasePtr module = makeK57();
        boost::property_tree::ptree entry;
        entry.put("settings.port", "COM7");
        module->loadSettings(entry);
        RequestLog log(*module);
        QSignalSpy updated(module.get(), &ModuleBase::portsUpdated);

        module->updatePorts({ "<None>", "COM3" });
        QVERIFY(log.requests.empty());
        module->updatePorts({ "<None>", "COM3", "COM7" });
        QCOMPARE(log.requests.size(), std::size_t(1));
        QCOMPARE(log.requests[0].config.portName, std::string("COM7"));
        QCOMPARE(updated.count(), 2);
        QCOMPARE(updated.at(1).at(0).toStringList(), (QStringList { "<None>", "COM3", "COM7" }));
        QCOMPARE(updated.at(1).at(1).toString(), QString("COM7"));
        QCOMPARE(updated.at(1).at(2).toInt(), 115200);

        // Unplugged and plugged in again: opened afresh.
        module->updatePorts({ "<None>", "COM3" });
        module->updatePorts({ "<None>", "COM3", "COM7" });
        QCOMPARE(log.requests.size(), std::size_t(2));
        QCOMPARE(log.requests[1].id, UInt32(ReqOpen));
        QCOMPARE(log.requests[1].config.portName, std::string("COM7"));
    }

    void malformedRecordsAreIgnored()
    {
        const ModuleBasePtr module = makeK57();
        connectToUnit(*module);
        QSignalSpy data(module.get(), &ModuleBase::datarecvd);
        QSignalSpy status(module.get(), &ModuleBase::portStatus);
        module->on_execcmd("v 40 00 0001\r\n");

        DeviceOutputMessage output;
        output.header.kind = OutputData;
        output.length = 500; // no bytes behind it
        module->onMessage(MsgDeviceOutput, sizeof output - 1, &output);
        PortStatusMessage closed;
        module->onMessage(MsgPortStatus, sizeof closed + 1, &closed);
        module->onMessage(MsgPortStatus, sizeof closed, nullptr);
        QCOMPARE(status.count(), 0);
        QCOMPARE(data.count(), 0);

        module->onMessage(MsgDeviceOutput, sizeof output, &output);
        QCOMPARE(data.count(), 1);
        QCOMPARE(data.at(0).at(0).toString(), QString("K57-QMR\r\nv 40 00 0001\r\n"));
    }

    void settingsAreReachedByName()
    {
        const ModuleBasePtr module = ModuleBase::create<ModuleK68TLC>(descriptorNamed("K68"), 1);
        module->onSettingUpdated("local_motherboard_video2", "Pier");
        QCOMPARE(module->onSettingRequested("local_motherboard_video2"), QString("Pier"));
        boost::property_tree::ptree entry;
        module->saveSettings(entry);
        QCOMPARE(entry.get<std::string>("settings.local.slots.1"), std::string("Pier"));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    registerMetaTypes();
    ModuleBase::registerMetaTypes();
    ModuleBaseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modulebase.moc"
