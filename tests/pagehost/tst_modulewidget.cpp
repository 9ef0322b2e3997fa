// The module web view with a real web engine: a test page opens qtobj through the web channel,
// records the signals the host sends after each load and reports back through update_setting.
// Covers the page's first state, the bridge's connections to the module, the address filter and
// the recovery from a killed render process.
//
// Runs under xvfb-run with QTWEBENGINE_DISABLE_SANDBOX=1 (see CMakeLists.txt). Waits have no
// bound of their own; the test's time-out in CTest is the bound.
#include "console/messages.h"
#include "fakepagehost.h"
#include "modules/modulek57qmr.h"
#include "pagehost/modulewebpage.h"
#include "pagehost/modulewidget.h"

#include <QApplication>
#include <QBuffer>
#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <QtTest>

#include <csignal>
#include <functional>
#include <map>

namespace {

const QString HomePage = QStringLiteral("qrc:/pagehost-test/bridge.html");

void waitUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // Test functions run outside any event loop, where deleteLater() would wait forever.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QVariant runJavaScript(QWebEngineView* view, const QString& script)
{
    bool finished = false;
    QVariant result;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        finished = true;
    });
    waitUntil([&] { return finished; });
    return result;
}

// Debug lines of the page host, collected while the test runs.
QStringList pageHostLog;
QtMessageHandler previousHandler = nullptr;

void collectLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && QLatin1String(context.category) == QLatin1String("varen.pagehost"))
        pageHostLog << message;
    previousHandler(type, context, message);
}

} // namespace

// Serves "hold:<token>" only once the page with that token has connected its listeners, which
// keeps the page's load open until then (see data/bridge.html).
// Thread: GUI thread. Owner: main(), for the whole run (the engine's profile refers to it).
class HoldSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const QString token = job->requestUrl().path();
        if (released.contains(token))
            serve(job);
        else
            held[token] = job;
    }

    void release(const QString& token)
    {
        released << token;
        const auto found = held.find(token);
        if (found != held.end() && found->second)
            serve(found->second);
    }

private:
    static void serve(QWebEngineUrlRequestJob* job)
    {
        auto* image = new QBuffer(job);
        image->setData("<svg xmlns='http://www.w3.org/2000/svg' width='1' height='1'/>");
        job->reply("image/svg+xml", image);
    }

    std::map<QString, QPointer<QWebEngineUrlRequestJob>> held;
    QSet<QString> released;
};

// What the pages report, and the links handed to the desktop.
// Thread: GUI thread. Owner: the test, one per test function.
class PageReports : public QObject
{
    Q_OBJECT
public:
    PageReports(HtmlComms& bridge, HoldSchemeHandler& hold)
    {
        connect(&bridge, &HtmlComms::setting_updated, this,
            [this, &hold](const QString& name, const QString& value) {
                if (name == QLatin1String("test_connected")) {
                    tokens << value;
                    hold.release(value);
                } else if (name == QLatin1String("test_order")) {
                    orders << value;
                }
            });
    }

    QStringList tokens; // one per page that opened qtobj
    QStringList orders; // one per completed load seen by a connected page
    QList<QUrl> desktop;

public slots:
    void openUrl(const QUrl& url) { desktop << url; }
};

class TestModuleWidget : public QObject
{
    Q_OBJECT
public:
    explicit TestModuleWidget(HoldSchemeHandler& hold)
        : hold(hold)
    {
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void homePageIsShownAndHidden();
    void everyLoadReceivesTheModuleStateInOrder();
    void bridgeServesOneModuleOnce_data();
    void bridgeServesOneModuleOnce();
    void pageRequestsReachTheModule();
    void foreignAddressesAreRefused_data();
    void foreignAddressesAreRefused();
    void linksForTheUserOpenOnTheDesktop_data();
    void linksForTheUserOpenOnTheDesktop();
    void ownPagesLoad();
    void killedRenderProcessBringsTheHomePageBack();
    void exitDeletesTheView();

private:
    ModuleBasePtr makeModule(tdi::UInt16 deviceId) const;
    void showHomePage();
    ModuleWebPage* page() const;
    void clickElement(const QString& id);

    HoldSchemeHandler& hold;
    std::shared_ptr<ModuleDescriptor> descriptor;
    std::unique_ptr<FakePageHost> host;
    std::unique_ptr<ModuleWidget> widget;
    std::unique_ptr<PageReports> reports;
    ModuleBasePtr module;
};

void TestModuleWidget::initTestCase()
{
    ModuleBase::registerMetaTypes();
    QWebEngineProfile::defaultProfile()->installUrlSchemeHandler("hold", &hold);
    descriptor = std::make_shared<ModuleDescriptor>();
    descriptor->name = QStringLiteral("K57-QMR");
    descriptor->homepage = HomePage;
    descriptor->deviceType = ModuleDescriptor::K57QMRType;
    previousHandler = qInstallMessageHandler(collectLog);
}

void TestModuleWidget::init()
{
    host = std::make_unique<FakePageHost>();
    widget = std::make_unique<ModuleWidget>();
    widget->bridge()->setHost(host.get());
    reports = std::make_unique<PageReports>(*widget->bridge(), hold);
    for (const char* scheme : { "http", "https", "mailto" })
        QDesktopServices::setUrlHandler(QLatin1String(scheme), reports.get(), "openUrl");
    module = makeModule(1);
}

void TestModuleWidget::cleanup()
{
    for (const char* scheme : { "http", "https", "mailto" })
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    widget.reset();
    reports.reset();
    module.reset();
    host.reset();
}

ModuleBasePtr TestModuleWidget::makeModule(tdi::UInt16 deviceId) const
{
    return ModuleBase::create<ModuleK57QMR>(descriptor, deviceId);
}

void TestModuleWidget::showHomePage()
{
    widget->setModule(module);
    waitUntil([this] { return !reports->orders.isEmpty(); });
}

ModuleWebPage* TestModuleWidget::page() const
{
    return qobject_cast<ModuleWebPage*>(widget->webView()->page());
}

void TestModuleWidget::clickElement(const QString& id)
{
    // A real click, so that the engine sees a link the user followed.
    const QJsonObject box
        = QJsonDocument::fromJson(runJavaScript(widget->webView(),
                                      QStringLiteral("JSON.stringify(document.getElementById('%1')"
                                                     ".getBoundingClientRect())")
                                          .arg(id))
                                      .toString()
                                      .toUtf8())
              .object();
    const QPoint centre(box.value("x").toDouble() + box.value("width").toDouble() / 2,
        box.value("y").toDouble() + box.value("height").toDouble() / 2);
    QWidget* target = widget->webView()->focusProxy();
    QVERIFY(target);
    QTest::mouseMove(target, centre);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, centre);
}

void TestModuleWidget::homePageIsShownAndHidden()
{
    QSignalSpy loaded(widget.get(), &ModuleWidget::onloaded);
    QVERIFY(widget->isHidden());
    showHomePage();

    QVERIFY(widget->isVisible());
    QCOMPARE(widget->currentUrl(), HomePage);
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded[0], (QVariantList { true, false, false }));

    widget->setModule(nullptr);
    QVERIFY(widget->isHidden());
}

void TestModuleWidget::everyLoadReceivesTheModuleStateInOrder()
{
    host->settings.setSoundEnabled(false);
    showHomePage();
    host->settings.setSoundEnabled(true);
    widget->webView()->reload();
    waitUntil([this] { return reports->orders.size() == 2; });

    const QString state = QStringLiteral(
        R"(ports_updated({"selected":"", "baudrate":"115200", "ports":[]});sound_enabled(%1);)"
        "board_status(0);port_status(0|)");
    QCOMPARE(reports->orders,
        (QStringList { state.arg(QStringLiteral("False")), state.arg(QStringLiteral("True")) }));
    QCOMPARE(reports->tokens.size(), 2);
}

void TestModuleWidget::bridgeServesOneModuleOnce_data()
{
    QTest::addColumn<QString>("steps"); // A/B: select, -: select none, rA/rB: removed
    QTest::addColumn<int>("toA");
    QTest::addColumn<int>("toB");

    QTest::newRow("same module twice") << "A A" << 1 << 0;
    QTest::newRow("another module") << "A B" << 0 << 1;
    QTest::newRow("and back") << "A B A" << 1 << 0;
    QTest::newRow("none") << "A -" << 0 << 0;
    QTest::newRow("shown module removed") << "A rA" << 0 << 0;
    QTest::newRow("other module removed") << "A rB" << 1 << 0;
}

void TestModuleWidget::bridgeServesOneModuleOnce()
{
    QFETCH(QString, steps);
    QFETCH(int, toA);
    QFETCH(int, toB);

    const std::map<QChar, ModuleBasePtr> modules { { 'A', module }, { 'B', makeModule(2) } };
    std::map<QChar, int> baudRequests;
    QObject scope; // ends the counting with this function; the widget keeps the modules
    for (const auto& entry : modules) {
        connect(entry.second.get(), &ClientDevice::setProperty, &scope,
            [&baudRequests, name = entry.first](tdi::UInt16, tdi::UInt32 id, tdi::UInt32, void*) {
                if (id == console::ReqBaudRate)
                    ++baudRequests[name];
            });
    }
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        if (step == QLatin1String("-"))
            widget->setModule(nullptr);
        else if (step.startsWith(QLatin1Char('r')))
            widget->onModuleRemoved(modules.at(step[1]));
        else
            widget->setModule(modules.at(step[0]));
    }

    widget->bridge()->update_port_baudrate(QStringLiteral("9600"));
    QCOMPARE(baudRequests['A'], toA);
    QCOMPARE(baudRequests['B'], toB);
    QCOMPARE(module->settings()->baudRate(), toA ? 9600 : ModuleSettings::DefaultBaudRate);
}

void TestModuleWidget::pageRequestsReachTheModule()
{
    showHomePage();
    QSignalSpy settings(widget->bridge(), &HtmlComms::setting_updated);
    runJavaScript(widget->webView(),
        QStringLiteral("qtobj.update_port_baudrate('57600');"
                       "qtobj.request_setting('nonexistent', function (value) {"
                       "  qtobj.update_setting('test_answer', '[' + value + ']'); });"));
    waitUntil([&] { return !settings.isEmpty(); });
    QCOMPARE(settings[0], (QVariantList { "test_answer", "[]" }));
    QCOMPARE(module->settings()->baudRate(), 57600);
}

void TestModuleWidget::foreignAddressesAreRefused_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("fromScript");

    QTest::newRow("http") << "http://example.invalid/" << false;
    QTest::newRow("https") << "https://example.invalid/" << false;
    QTest::newRow("local file") << "file:///etc/hostname" << false;
    QTest::newRow("data") << "data:text/html,<p>foreign</p>" << false;
    QTest::newRow("http from a script") << "http://example.invalid/script" << true;
    QTest::newRow("file from a script") << "file:///etc/hostname" << true;
}

void TestModuleWidget::foreignAddressesAreRefused()
{
    QFETCH(QString, address);
    QFETCH(bool, fromScript);

    showHomePage();
    QSignalSpy refused(page(), &ModuleWebPage::navigationRefused);
    if (fromScript)
        runJavaScript(widget->webView(), QStringLiteral("location.href = '%1'").arg(address));
    else
        widget->webView()->load(QUrl(address));
    waitUntil([&] { return !refused.isEmpty(); });

    QCOMPARE(refused[0][0].toUrl(), QUrl(address));
    // The same page, still alive: its token is the one it reported.
    QCOMPARE(runJavaScript(widget->webView(), QStringLiteral("token")).toString(),
        reports->tokens.value(0));
    QCOMPARE(widget->currentUrl(), HomePage);
    QVERIFY(reports->desktop.isEmpty());
}

void TestModuleWidget::linksForTheUserOpenOnTheDesktop_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("address");

    QTest::newRow("web link") << "link"
                              << "http://example.invalid/manual";
    QTest::newRow("new window") << "blank"
                                << "https://example.invalid/notes";
    QTest::newRow("mail") << "mail"
                          << "mailto:support@example.invalid";
}

void TestModuleWidget::linksForTheUserOpenOnTheDesktop()
{
    QFETCH(QString, element);
    QFETCH(QString, address);

    showHomePage();
    clickElement(element);
    waitUntil([this] { return !reports->desktop.isEmpty(); });

    QCOMPARE(reports->desktop, QList<QUrl> { QUrl(address) });
    QCOMPARE(runJavaScript(widget->webView(), QStringLiteral("token")).toString(),
        reports->tokens.value(0));
}

void TestModuleWidget::ownPagesLoad()
{
    showHomePage();
    clickElement(QStringLiteral("own"));
    waitUntil([this] { return reports->orders.size() == 2; });

    QCOMPARE(widget->currentUrl(), HomePage + QStringLiteral("?second"));
    QCOMPARE(reports->tokens.size(), 2);
    QVERIFY(reports->desktop.isEmpty());
}

void TestModuleWidget::killedRenderProcessBringsTheHomePageBack()
{
    showHomePage();
    widget->webView()->load(QUrl(HomePage + QStringLiteral("?elsewhere")));
    waitUntil([this] { return reports->orders.size() == 2; });
    QPointer<QWebEngineView> crashed = widget->webView();
    const qint64 renderer = crashed->page()->renderProcessPid();
    QVERIFY(renderer > 0);
    pageHostLog.clear();

    QCOMPARE(::kill(pid_t(renderer), SIGKILL), 0);
    waitUntil([this] { return reports->orders.size() == 3; });

    // A new view on the same bridge, showing the home page, with a working qtobj.
    QVERIFY(widget->webView() != crashed);
    QCOMPARE(widget->currentUrl(), HomePage);
    QCOMPARE(reports->tokens.size(), 3);
    QCOMPARE(reports->orders[2], reports->orders[0]);
    waitUntil([&] { return crashed.isNull(); });

    const QStringList crashLines = pageHostLog.filter(QStringLiteral("Render process"));
    QCOMPARE(crashLines.size(), 1);
    const QRegularExpressionMatch line = QRegularExpression(
        QStringLiteral(R"(^Render process was terminated: (\w+TerminationStatus) )"
                       R"((-?\d+)/0x([0-9a-f]+)$)"))
                                             .match(crashLines[0]);
    QVERIFY2(line.hasMatch(), qPrintable(crashLines[0]));
    QCOMPARE(line.captured(1), QStringLiteral("KilledTerminationStatus"));
    QCOMPARE(line.captured(3).toUInt(nullptr, 16), line.captured(2).toInt() & 0xffffffffu);
}

void TestModuleWidget::exitDeletesTheView()
{
    showHomePage();
    QPointer<QWebEngineView> view = widget->webView();
    widget->onExit();
    QCOMPARE(widget->webView(), nullptr);
    waitUntil([&] { return view.isNull(); });
    // With no view left, selecting a module loads nothing and does not fail.
    widget->setModule(makeModule(3));
}

int main(int argc, char** argv)
{
    // Custom schemes must be known before the engine starts.
    QWebEngineUrlScheme scheme("hold");
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Varen"));
    QCoreApplication::setApplicationName(QStringLiteral("pagehost-modulewidget-test"));
    HoldSchemeHandler hold;
    TestModuleWidget test(hold);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_modulewidget.moc"
