// Request values crossing to another thread: each must still hold what was sent when the
// receiver reads it there, however long that thread is busy, and must be freed afterwards; a
// value asked for comes back filled, on the asking device's thread.
#include "console/messages.h"
#include "console/metatypes.h"
#include "modules/requestsender.h"

#include <QMutex>
#include <QSemaphore>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {

// A request value that counts its live copies, so the test sees every record freed.
struct Tracked
{
    static std::atomic<int> alive;

    explicit Tracked(std::string value)
        : text(std::move(value))
    {
        ++alive;
    }
    Tracked(const Tracked& other)
        : text(other.text)
    {
        ++alive;
    }
    Tracked(Tracked&& other) noexcept
        : text(std::move(other.text))
    {
        ++alive;
    }
    ~Tracked() { --alive; }

    std::string text;
};
std::atomic<int> Tracked::alive { 0 };

// Stands in for the client bridge: lives on its own thread and reads each value in a queued
// slot. It can be held up, as a console thread busy opening a port is.
class Consumer : public QObject
{
    Q_OBJECT
public:
    void holdUp()
    {
        QMetaObject::invokeMethod(
            this, [this] { gate.acquire(); }, Qt::QueuedConnection);
    }
    void letGo() { gate.release(); }

    QStringList received() const
    {
        QMutexLocker locker(&lock);
        return texts;
    }

public slots:
    // Answers like the console's state device asked for its port list.
    void onGetProperty(tdi::UInt16, tdi::UInt32, tdi::UInt32 size, void* value)
    {
        if (size == sizeof(std::vector<console::PortEntry>))
            *static_cast<std::vector<console::PortEntry>*>(value) = { { "COM3", 3 } };
    }

    void onSetProperty(tdi::UInt16, tdi::UInt32, tdi::UInt32 size, void* value)
    {
        QMutexLocker locker(&lock);
        texts << (size == sizeof(Tracked)
                ? QString::fromStdString(static_cast<Tracked*>(value)->text)
                : QStringLiteral("wrong size"));
    }

private:
    QSemaphore gate;
    mutable QMutex lock;
    QStringList texts;
};

} // namespace

class RequestSenderTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        thread.start();
        consumer = new Consumer;
        consumer->moveToThread(&thread);
        connect(&device, &ClientDevice::setProperty, consumer, &Consumer::onSetProperty);
        connect(&device, &ClientDevice::getProperty, consumer, &Consumer::onGetProperty);
    }

    void cleanup()
    {
        thread.quit();
        QVERIFY(thread.wait(10000));
        delete consumer;
    }

    void valuesOutliveTheirSendingUntilTheConsumerReadsThem_data()
    {
        QTest::addColumn<bool>("contextFirst");
        QTest::newRow("console context known") << true;
        QTest::newRow("console context known only later") << false;
    }

    void valuesOutliveTheirSendingUntilTheConsumerReadsThem()
    {
        QFETCH(bool, contextFirst);
        QStringList sent;
        {
            RequestSender sender(device);
            if (contextFirst)
                sender.setConsoleContext(consumer);
            consumer->holdUp();
            for (int n = 0; n < 200; ++n) {
                sent << QString("v %1 00 0100\r\n").arg(n);
                sender.setProperty(8, Tracked(sent.last().toStdString()));
                // Churn the heap, so a freed record would soon hold something else.
                std::vector<std::string> churn(8, std::string(40, char('a' + n % 26)));
            }
            QVERIFY(consumer->received().isEmpty());
            if (!contextFirst)
                sender.setConsoleContext(consumer);
            // The sender may go before the consumer has read anything.
        }
        consumer->letGo();
        QTRY_COMPARE_WITH_TIMEOUT(consumer->received(), sent, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(Tracked::alive.load(), 0, 20000);
    }

    void anAskedValueComesBackFilledOnTheDevicesThread()
    {
        RequestSender sender(device);
        sender.setConsoleContext(consumer);
        std::vector<console::PortEntry> answer;
        QThread* answeredOn = nullptr;
        sender.getProperty<std::vector<console::PortEntry>>(
            console::ReqPortList, [&](const std::vector<console::PortEntry>& ports) {
                answer = ports;
                answeredOn = QThread::currentThread();
            });
        QTRY_COMPARE_WITH_TIMEOUT(answer.size(), std::size_t(1), 20000);
        QCOMPARE(answer.front().name, std::string("COM3"));
        QCOMPARE(answeredOn, QThread::currentThread());
    }

    void anAnswerForADeviceThatIsGoneIsDropped()
    {
        auto* shortLived = new ClientDevice(5);
        connect(shortLived, &ClientDevice::getProperty, consumer, &Consumer::onGetProperty);
        bool answered = false;
        {
            RequestSender sender(*shortLived);
            sender.setConsoleContext(consumer);
            consumer->holdUp();
            sender.getProperty<std::vector<console::PortEntry>>(
                console::ReqPortList, [&answered](const auto&) { answered = true; });
        }
        delete shortLived;
        consumer->letGo();
        // A marker taking the same road behind the answer: once it is back, so is the answer.
        bool markerBack = false;
        QMetaObject::invokeMethod(
            consumer,
            [&markerBack] {
                QMetaObject::invokeMethod(
                    qApp, [&markerBack] { markerBack = true; }, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        QTRY_VERIFY_WITH_TIMEOUT(markerBack, 20000);
        QVERIFY(!answered);
    }

private:
    QThread thread;
    Consumer* consumer = nullptr;
    ClientDevice device { 9 };
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    console::registerMetaTypes();
    RequestSenderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_requestsender.moc"
