// The client bridge between GUI objects and the console: registration, delivery on the
// receiver's thread, copies of reused records, reset on a new project.
#include "console/client.h"
#include "console/devicecontroller.h"
#include "console/metatypes.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QtTest>

#include <thread>

using namespace console;

namespace {

// A GUI-side device that remembers what reached it, on which thread.
class RecordingDevice : public ClientDevice
{
public:
    using ClientDevice::ClientDevice;

    struct Received
    {
        tdi::UInt32 type;
        tdi::UInt32 state; // message 0: the state; message 3: the registered id
        QThread* thread;
    };
    QVector<Received> received;

    void onMessage(tdi::UInt32 msgType, tdi::UInt32, void* value) override
    {
        tdi::UInt32 detail = 0;
        if (msgType == MsgState)
            detail = static_cast<StateMessage*>(value)->state;
        else if (msgType == MsgModuleRegistered)
            detail = *static_cast<tdi::UInt32*>(value);
        else if (msgType == MsgDeviceCreated)
            detail = static_cast<DeviceCreatedMessage*>(value)->deviceId;
        received.push_back({ msgType, detail, QThread::currentThread() });
    }

    int count(tdi::UInt32 type) const
    {
        return static_cast<int>(std::count_if(received.begin(), received.end(),
            [type](const Received& r) { return r.type == type; }));
    }
    QVector<tdi::UInt32> details(tdi::UInt32 type) const
    {
        QVector<tdi::UInt32> found;
        for (const auto& r : received) {
            if (r.type == type)
                found.push_back(r.state);
        }
        return found;
    }
};

} // namespace

class ClientTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        thread.start();
        manager = std::make_shared<RecordingDevice>(StateDeviceId);
        client = new gui::Client(&thread, manager);
    }

    void startDeliversRunningBeforeItReturns()
    {
        client->start();
        QCOMPARE(manager->details(MsgState), QVector<tdi::UInt32> { Running });
        QCOMPARE(manager->received.last().thread, QThread::currentThread());
    }

    void messageForAnUnregisteredDeviceReachesNobody()
    {
        const int before = manager->received.size();
        StateMessage record;
        client->onMessage(7, MsgState, sizeof record, &record);
        QCoreApplication::processEvents();
        QCOMPARE(manager->received.size(), before);
    }

    void createRequestIsAnsweredOnTheGuiThread()
    {
        CreateDeviceRequest create { -1, 4, nullptr };
        emit manager->setProperty(StateDeviceId, ReqCreateDevice, sizeof create, &create);
        QTRY_COMPARE(manager->count(MsgDeviceCreated), 1);
        QCOMPARE(manager->received.last().thread, QThread::currentThread());
    }

    void registeringAModuleTellsTheManagerAndReplacesAnEarlierOne()
    {
        auto first = std::make_shared<RecordingDevice>(3);
        auto second = std::make_shared<RecordingDevice>(3);
        for (const auto& module : { first, second }) {
            QMetaObject::invokeMethod(
                client, [this, module] { client->onClientDeviceAdded(module); });
        }
        QTRY_COMPARE(manager->details(MsgModuleRegistered), (QVector<tdi::UInt32> { 3, 3 }));

        StateMessage record;
        record.state = Paused;
        client->onMessage(3, MsgState, sizeof record, &record);
        QCoreApplication::processEvents();
        QCOMPARE(first->received.size(), 0);
        QCOMPARE(second->details(MsgState), QVector<tdi::UInt32> { Paused });
    }

    void reusedRecordsArriveAsTheyWerePosted()
    {
        auto module = std::make_shared<RecordingDevice>(4);
        QMetaObject::invokeMethod(client, [this, module] { client->onClientDeviceAdded(module); });
        QTRY_COMPARE(manager->details(MsgModuleRegistered).size(), 3);

        // Posted from a console-side thread: the receiver runs later, after the poster has
        // already reused its record.
        std::thread poster([this] {
            StateMessage record;
            for (tdi::UInt32 state : { Paused, Resumed, Running }) {
                record.state = state;
                client->onMessage(4, MsgState, sizeof record, &record);
            }
            record.state = 99;
        });
        poster.join();
        QTRY_COMPARE(
            module->details(MsgState), (QVector<tdi::UInt32> { Paused, Resumed, Running }));
    }

    void newProjectResetsTheConsoleAndForgetsModules()
    {
        auto module = std::make_shared<RecordingDevice>(5);
        QMetaObject::invokeMethod(client, [this, module] { client->onClientDeviceAdded(module); });
        QTRY_COMPARE(manager->details(MsgModuleRegistered).size(), 4);

        QMetaObject::invokeMethod(client, [this] { client->onNewProject(); });
        QTRY_VERIFY_WITH_TIMEOUT(manager->details(MsgState).endsWith(Ready), 15000);
        StateMessage record;
        client->onMessage(5, MsgState, sizeof record, &record);
        QCoreApplication::processEvents();
        QCOMPARE(module->received.size(), 0);
    }

    void stopAnnouncesNothing()
    {
        const int before = manager->received.size();
        client->stop();
        QCoreApplication::processEvents();
        QCOMPARE(manager->received.size(), before);
    }

    void cleanupTestCase()
    {
        thread.quit();
        QVERIFY(thread.wait(5000));
        delete client;
    }

private:
    gui::ConsoleThread thread;
    std::shared_ptr<RecordingDevice> manager;
    gui::Client* client = nullptr;
};

int main(int argc, char** argv)
{
    registerMetaTypes();
    QCoreApplication app(argc, argv);
    ClientTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_client.moc"
