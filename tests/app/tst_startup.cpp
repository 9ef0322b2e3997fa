// Pieces of start-up and shut-down: the meta types that let the console's and the pages' types
// cross threads, and the bounded wait for the console thread.
#include "app/consolethreadwaiter.h"
#include "app/metatypes.h"
#include "modules/modulebase.h"
#include "tdi/types.h"

#include <QtTest>

namespace {
QStringList captured;

void capture(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (qstrcmp(context.category, "varen.app") == 0)
        captured << message;
}

// Receives values through queued calls, which only work for registered types.
class Receiver : public QObject
{
    Q_OBJECT
public:
    std::vector<std::string> list;
    StringMap map;

public slots:
    void takeList(std::vector<std::string> value) { list = std::move(value); }
    void takeMap(StringMap value) { map = std::move(value); }
};
} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void namesAreRegistered_data();
    void namesAreRegistered();
    void containersConvertToQtViews();
    void containersCrossQueuedCalls();
    void finishedThreadNeedsNoWaiting();
    void stuckThreadIsWaitedForFiveTimes();
};

void StartupTest::initTestCase()
{
    MetaTypes::registerAll();
}

void StartupTest::namesAreRegistered_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("type");
    QTest::newRow("UInt32") << QByteArray("tdi::UInt32") << qMetaTypeId<tdi::UInt32>();
    QTest::newRow("UInt16") << QByteArray("tdi::UInt16") << qMetaTypeId<tdi::UInt16>();
    QTest::newRow("string") << QByteArray("std::string") << qMetaTypeId<std::string>();
    QTest::newRow("vector") << QByteArray("std::vector<std::string>")
                            << qMetaTypeId<std::vector<std::string>>();
    QTest::newRow("StringMap") << QByteArray("StringMap") << qMetaTypeId<StringMap>();
    QTest::newRow("map by its full name")
        << QByteArray("std::map<std::string,std::vector<std::string>>") << qMetaTypeId<StringMap>();
    QTest::newRow("module pointer") << QByteArray("ModuleBasePtr") << qMetaTypeId<ModuleBasePtr>();
}

void StartupTest::namesAreRegistered()
{
    QFETCH(QByteArray, name);
    QFETCH(int, type);
    QCOMPARE(QMetaType::type(name.constData()), type);
}

void StartupTest::containersConvertToQtViews()
{
    const QVariant list = QVariant::fromValue(std::vector<std::string> { "v 42 00 0100", "x" });
    QVERIFY(list.canConvert<QVariantList>());
    const auto sequence = list.value<QSequentialIterable>();
    QCOMPARE(sequence.size(), 2);
    QCOMPARE(sequence.at(0).value<std::string>(), std::string("v 42 00 0100"));

    const QVariant map = QVariant::fromValue(StringMap { { "a", { "1", "2" } }, { "b", {} } });
    QVERIFY(map.canConvert<QVariantMap>() || map.canConvert<QVariantHash>());
    const auto associative = map.value<QAssociativeIterable>();
    QCOMPARE(associative.size(), 2);
    QCOMPARE(associative.value(QVariant::fromValue(std::string("a")))
                 .value<std::vector<std::string>>()
                 .size(),
        std::size_t(2));
}

void StartupTest::containersCrossQueuedCalls()
{
    Receiver receiver;
    QVERIFY(QMetaObject::invokeMethod(&receiver, "takeList", Qt::QueuedConnection,
        Q_ARG(std::vector<std::string>, std::vector<std::string>({ "one", "two" }))));
    QVERIFY(QMetaObject::invokeMethod(&receiver, "takeMap", Qt::QueuedConnection,
        Q_ARG(StringMap, StringMap({ { "k", { "v" } } }))));
    QCoreApplication::processEvents();
    QCOMPARE(receiver.list, std::vector<std::string>({ "one", "two" }));
    QCOMPARE(receiver.map.at("k"), std::vector<std::string>({ "v" }));
}

void StartupTest::finishedThreadNeedsNoWaiting()
{
    QThread thread;
    thread.start();
    thread.quit();
    thread.wait();
    captured.clear();
    const auto previous = qInstallMessageHandler(capture);
    const bool finished = ConsoleThreadWaiter::wait(thread);
    qInstallMessageHandler(previous);
    QVERIFY(finished);
    QCOMPARE(captured, QStringList());
}

void StartupTest::stuckThreadIsWaitedForFiveTimes()
{
    QThread thread; // runs its event loop until told otherwise
    thread.start();
    captured.clear();
    const auto previous = qInstallMessageHandler(capture);
    const bool finished
        = ConsoleThreadWaiter::wait(thread, ConsoleThreadWaiter::DefaultSeconds, 10);
    qInstallMessageHandler(previous);
    thread.quit();
    thread.wait();
    QVERIFY(!finished);
    QCOMPARE(captured,
        QStringList({ "Waiting for console thread: 5s", "Waiting for console thread: 4s",
            "Waiting for console thread: 3s", "Waiting for console thread: 2s",
            "Waiting for console thread: 1s" }));
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("varen.app.debug=true"));
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
