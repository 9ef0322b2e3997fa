// The page bridge on its own, as the pages call it: the texts it builds, the lists it splits,
// file handles, dialogs (scripted, plus the real message boxes once), the dialog directories
// remembered in the settings, and the project operations it passes on.
#include "askedrecord.h"
#include "console/messages.h"
#include "fakepagehost.h"
#include "fakesaveobject.h"
#include "pagehost/htmlcomms.h"
#include "pagehost/qtpagedialogs.h"
#include "pagehost/scriptedpagedialogs.h"
#include "projects/scriptedprojectdialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QString documents()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

// Receives what the bridge hands to the desktop, instead of a file browser opening.
// Thread: GUI thread. Owner: the test function (on the stack).
class DesktopRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl& url) { opened << url; }
};

class TestHtmlComms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void portListJson_data();
    void portListJson();
    void refreshListSplitting_data();
    void refreshListSplitting();
    void baudRateText_data();
    void baudRateText();
    void commandsReportedAsSent_data();
    void commandsReportedAsSent();
    void settingRequestWithoutModuleIsEmpty();
    void soundSetting_data();
    void soundSetting();

    void fileHandlesAreReused();
    void filesAreWrittenAsUtf8AndTruncated();
    void writeToUnknownHandle_data();
    void writeToUnknownHandle();
    void showDirectory_data();
    void showDirectory();

    void dialogDirectories_data();
    void dialogDirectories();
    void textFile_data();
    void textFile();
    void scriptedMessageBoxes_data();
    void scriptedMessageBoxes();
    void realMessageBoxesAreModalToTheMainWindow_data();
    void realMessageBoxesAreModalToTheMainWindow();

    void projectOperations_data();
    void projectOperations();
    void exitClosesTheMainWindow();

private:
    QString scriptPath() const { return dir->filePath(QStringLiteral("dialogs.txt")); }
    void script(const QString& answers);
    QStringList askedKinds() const;

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakePageHost> host;
    std::unique_ptr<HtmlComms> bridge;
};

void TestHtmlComms::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    host = std::make_unique<FakePageHost>();
    bridge = std::make_unique<HtmlComms>();
    bridge->setHost(host.get());
    bridge->setDialogs(
        std::make_unique<ScriptedPageDialogs>(std::make_shared<DialogScript>(scriptPath())));
    QSettings().remove(QStringLiteral("dialogs"));
}

void TestHtmlComms::cleanup()
{
    bridge.reset();
    host.reset();
}

void TestHtmlComms::script(const QString& answers)
{
    writeFile(scriptPath(), answers.toUtf8());
}

QStringList TestHtmlComms::askedKinds() const
{
    QStringList kinds;
    for (const QStringList& row : askedrecord::read(scriptPath()))
        kinds << row.value(0) + QLatin1Char(' ') + row.value(1);
    return kinds;
}

void TestHtmlComms::portListJson_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<QString>("json");

    QTest::newRow("two ports")
        << QStringList { "<None>", "COM1" } << "COM1" << 115200
        << R"({"selected":"COM1", "baudrate":"115200", "ports":["<None>", "COM1"]})";
    QTest::newRow("one port") << QStringList { "<None>" } << "<None>" << 9600
                              << R"({"selected":"<None>", "baudrate":"9600", "ports":["<None>"]})";
    QTest::newRow("no ports") << QStringList {} << "" << 0
                              << R"({"selected":"", "baudrate":"0", "ports":[]})";
    // Port names can come from a hand-edited project file; the page must still parse the list.
    QTest::newRow("quote and backslash")
        << QStringList { R"(CO"M\1)" } << R"(CO"M\1)" << 19200
        << R"({"selected":"CO\"M\\1", "baudrate":"19200", "ports":["CO\"M\\1"]})";
}

void TestHtmlComms::portListJson()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, selected);
    QFETCH(int, baudRate);
    QFETCH(QString, json);

    QSignalSpy updated(bridge.get(), &HtmlComms::ports_updated);
    bridge->on_portsUpdated(ports, selected, baudRate);
    QCOMPARE(updated.size(), 1);
    QCOMPARE(updated[0][0].toString(), json);

    QJsonParseError error {};
    const QJsonObject parsed = QJsonDocument::fromJson(json.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(parsed.value("selected").toString(), selected);
    QCOMPARE(parsed.value("baudrate").toString(), QString::number(baudRate));
    QCOMPARE(parsed.value("ports").toVariant().toStringList(), ports);
}

void TestHtmlComms::refreshListSplitting_data()
{
    QTest::addColumn<bool>("byQ");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("commands");

    QTest::newRow("two commands") << false << "v 38\r\n,v 39\r\n"
                                  << QStringList { "v 38\r\n", "v 39\r\n" };
    QTest::newRow("empty piece dropped") << false << "v 38\r\n,,v 39\r\n"
                                         << QStringList { "v 38\r\n", "v 39\r\n" };
    QTest::newRow("blanks kept") << false << " a , b" << QStringList { " a ", " b" };
    QTest::newRow("empty text") << false << "" << QStringList {};
    QTest::newRow("only commas") << false << ",,," << QStringList {};
    QTest::newRow("q keeps commas") << true << "u 77,02.\r\nqv 51 00 0100\r\n"
                                    << QStringList { "u 77,02.\r\n", "v 51 00 0100\r\n" };
    QTest::newRow("q is case-sensitive") << true << "aQbqc" << QStringList { "aQb", "c" };
    QTest::newRow("only q") << true << "qq" << QStringList {};
}

void TestHtmlComms::refreshListSplitting()
{
    QFETCH(bool, byQ);
    QFETCH(QString, text);
    QFETCH(QStringList, commands);

    QList<QStringList> lists;
    connect(bridge.get(), &HtmlComms::startDataRefresh, this,
        [&lists](const std::vector<std::string>& list) {
            QStringList texts;
            for (const std::string& command : list)
                texts << QString::fromStdString(command);
            lists << texts;
        });
    if (byQ)
        bridge->start_MediaConverter_data_refresh(text);
    else
        bridge->start_data_refresh(text);
    QCOMPARE(lists, QList<QStringList> { commands });
}

void TestHtmlComms::baudRateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baudRate");

    QTest::newRow("number") << "9600" << 9600;
    QTest::newRow("word") << "fast" << 0;
    QTest::newRow("digits then letters") << "9600bd" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestHtmlComms::baudRateText()
{
    QFETCH(QString, text);
    QFETCH(int, baudRate);

    QSignalSpy rates(bridge.get(), &HtmlComms::portBaudRate);
    bridge->update_port_baudrate(text);
    QCOMPARE(rates.size(), 1);
    QCOMPARE(rates[0][0].toInt(), baudRate);
}

void TestHtmlComms::commandsReportedAsSent_data()
{
    QTest::addColumn<uint>("request");
    QTest::addColumn<bool>("reported");

    QTest::newRow("write") << uint(console::ReqWrite) << true;
    QTest::newRow("select port") << uint(console::ReqSelectPort) << false;
    QTest::newRow("close") << uint(console::ReqClose) << false;
}

void TestHtmlComms::commandsReportedAsSent()
{
    QFETCH(uint, request);
    QFETCH(bool, reported);

    QSignalSpy executed(bridge.get(), &HtmlComms::cmd_executed);
    std::string value = "v 38\r\n";
    bridge->onSetProperty(7, request, sizeof(value), &value);
    QCOMPARE(executed.size(), reported ? 1 : 0);
    if (reported)
        QCOMPARE(executed[0][0].toString(), QStringLiteral("v 38\r\n"));
}

void TestHtmlComms::settingRequestWithoutModuleIsEmpty()
{
    QCOMPARE(bridge->request_setting(QStringLiteral("local_channel1")), QString());
    connect(bridge.get(), &HtmlComms::setting_requested, this,
        [](const QString& name) { return name + QStringLiteral("=x"); });
    QCOMPARE(bridge->request_setting(QStringLiteral("local_channel1")),
        QStringLiteral("local_channel1=x"));
}

void TestHtmlComms::soundSetting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("true") << "true" << true;
    QTest::newRow("True") << "True" << true;
    QTest::newRow("TRUE") << "TRUE" << true;
    QTest::newRow("false") << "false" << false;
    QTest::newRow("yes") << "yes" << false;
    QTest::newRow("empty") << "" << false;
}

void TestHtmlComms::soundSetting()
{
    QFETCH(QString, text);
    QFETCH(bool, enabled);

    host->settings.setSoundEnabled(!enabled);
    bridge->update_sound_enabled(text);
    QCOMPARE(host->settings.isSoundEnabled(), enabled);

    QSignalSpy told(bridge.get(), &HtmlComms::sound_enabled);
    bridge->announceSoundSetting();
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0][0].toString(), enabled ? QStringLiteral("True") : QStringLiteral("False"));
}

void TestHtmlComms::fileHandlesAreReused()
{
    const QString path = dir->filePath(QStringLiteral("log%1.txt"));
    QCOMPARE(bridge->fopen(path.arg(0)), 0);
    QCOMPARE(bridge->fopen(path.arg(1)), 1);
    bridge->fclose(0);
    QCOMPARE(bridge->fopen(path.arg(2)), 0);
    QCOMPARE(bridge->fopen(path.arg(3)), 2);
    // A failed open takes no handle.
    QCOMPARE(bridge->fopen(dir->filePath(QStringLiteral("missing/log.txt"))), -1);
    bridge->fclose(1);
    QCOMPARE(bridge->fopen(path.arg(4)), 1);
    // Each handle still writes to its own file.
    QVERIFY(bridge->fwrite(0, QStringLiteral("two")));
    QVERIFY(bridge->fwrite(2, QStringLiteral("three")));
    QCOMPARE(contents(path.arg(2)), QByteArray("two"));
    QCOMPARE(contents(path.arg(3)), QByteArray("three"));
}

void TestHtmlComms::filesAreWrittenAsUtf8AndTruncated()
{
    const QString path = dir->filePath(QStringLiteral("clog.txt"));
    writeFile(path, "old content that must go");
    const int handle = bridge->fopen(path);
    QCOMPARE(handle, 0);
    QCOMPARE(contents(path), QByteArray());
    QVERIFY(bridge->fwrite(handle, QStringLiteral("Grüße 20°C\r\n")));
    // Written through at once, so the log survives an abrupt end of the application.
    QCOMPARE(contents(path), QStringLiteral("Grüße 20°C\r\n").toUtf8());
    bridge->fclose(handle);
    QVERIFY(!bridge->fwrite(handle, QStringLiteral("after close")));
}

void TestHtmlComms::writeToUnknownHandle_data()
{
    QTest::addColumn<int>("handle");
    QTest::newRow("never opened") << 5;
    QTest::newRow("failure value") << -1;
    QTest::newRow("closed") << 0;
}

void TestHtmlComms::writeToUnknownHandle()
{
    QFETCH(int, handle);
    const QString path = dir->filePath(QStringLiteral("closed.txt"));
    bridge->fclose(bridge->fopen(path));
    bridge->fclose(handle); // ignored
    QVERIFY(!bridge->fwrite(handle, QStringLiteral("lost")));
    QCOMPARE(contents(path), QByteArray());
}

void TestHtmlComms::showDirectory_data()
{
    QTest::addColumn<QString>("path"); // relative to the temporary folder
    QTest::addColumn<QString>("opened"); // likewise; empty: nothing opened

    QTest::newRow("folder") << "logs"
                            << "logs";
    QTest::newRow("file shows its folder") << "logs/clog.txt"
                                           << "logs";
    QTest::newRow("missing") << "nowhere"
                             << "";
}

void TestHtmlComms::showDirectory()
{
    QFETCH(QString, path);
    QFETCH(QString, opened);

    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("logs")));
    writeFile(dir->filePath(QStringLiteral("logs/clog.txt")), "x");
    DesktopRecorder desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "openUrl");
    bridge->show_directory(dir->filePath(path));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    QList<QUrl> expected;
    if (!opened.isEmpty())
        expected << QUrl::fromLocalFile(QDir(dir->filePath(opened)).canonicalPath());
    QCOMPARE(desktop.opened, expected);
}

void TestHtmlComms::dialogDirectories_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("stored"); // under the key "log_dir" before the call; null: none
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("dir"); // "<tmp>" stands for an existing folder
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("start"); // "<docs>" stands for the documents folder
    QTest::addColumn<QString>("storedAfter");

    const QString none;
    QTest::newRow("no key, no dir") << false << none << ""
                                    << ""
                                    << "/data/a.txt"
                                    << "<docs>" << none;
    QTest::newRow("key without value") << false << none << "log_dir"
                                       << ""
                                       << "/data/b/c.txt"
                                       << "<docs>"
                                       << "/data/b";
    QTest::newRow("remembered folder") << true << "/remembered"
                                       << "log_dir"
                                       << ""
                                       << "/new/place/d.txt"
                                       << "/remembered"
                                       << "/new/place";
    QTest::newRow("dir is a folder") << false << "/remembered"
                                     << "log_dir"
                                     << "<tmp>"
                                     << "/x/e.txt"
                                     << "<tmp>"
                                     << "/x";
    QTest::newRow("dir proposes a name") << true << "/remembered"
                                         << "log_dir"
                                         << "snap.json"
                                         << "/y/snap.json"
                                         << "/remembered/snap.json"
                                         << "/y";
    QTest::newRow("name in no folder") << true << "/remembered"
                                       << "log_dir"
                                       << "nodir/f.json"
                                       << "cancel"
                                       << "/remembered/nodir/f.json"
                                       << "/remembered";
    QTest::newRow("cancel keeps the folder") << false << "/remembered"
                                             << "log_dir"
                                             << ""
                                             << "cancel"
                                             << "/remembered"
                                             << "/remembered";
    QTest::newRow("name without key") << true << "/remembered"
                                      << ""
                                      << "g.txt"
                                      << "cancel"
                                      << "<docs>/g.txt"
                                      << "/remembered";
}

void TestHtmlComms::dialogDirectories()
{
    QFETCH(bool, save);
    QFETCH(QString, stored);
    QFETCH(QString, key);
    QFETCH(QString, dir);
    QFETCH(QString, answer);
    QFETCH(QString, start);
    QFETCH(QString, storedAfter);

    const auto expand = [this](QString text) {
        return text.replace(QStringLiteral("<docs>"), documents())
            .replace(QStringLiteral("<tmp>"), this->dir->path());
    };
    if (!stored.isNull())
        QSettings().setValue(QStringLiteral("dialogs/log_dir"), stored);
    const QString kind = save ? QStringLiteral("save") : QStringLiteral("open");
    script(kind + QLatin1Char(' ') + answer);

    const QString chosen = save ? bridge->save_file_dialog(QStringLiteral("Save Log"),
                               QStringLiteral("Logs (*.txt)"), expand(dir), key)
                                : bridge->open_file_dialog(QStringLiteral("Open Log"),
                                    QStringLiteral("Logs (*.txt)"), expand(dir), key);

    QCOMPARE(chosen, answer == QLatin1String("cancel") ? QString() : answer);
    const QVector<QStringList> asked = askedrecord::read(scriptPath());
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].value(0), kind);
    QCOMPARE(asked[0].value(2), expand(start));
    QCOMPARE(asked[0].value(3), QStringLiteral("Logs (*.txt)"));
    QCOMPARE(QSettings().value(QStringLiteral("dialogs/log_dir")).toString(), storedAfter);
}

void TestHtmlComms::textFile_data()
{
    QTest::addColumn<QString>("answer"); // "<file>" stands for a file with the content below
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reportedName");

    const QString content = QStringLiteral("{\"fileType\":\"snapshot\",\"note\":\"Größe\"}\n");
    QTest::newRow("read") << "<file>" << content << "<file>";
    QTest::newRow("cancelled") << "cancel"
                               << ""
                               << "";
    QTest::newRow("unreadable") << "<missing>"
                                << ""
                                << "<missing>";
}

void TestHtmlComms::textFile()
{
    QFETCH(QString, answer);
    QFETCH(QString, text);
    QFETCH(QString, reportedName);

    const auto expand = [this](QString value) {
        return value.replace(QStringLiteral("<file>"), dir->filePath(QStringLiteral("s.json")))
            .replace(QStringLiteral("<missing>"), dir->filePath(QStringLiteral("gone.json")));
    };
    writeFile(dir->filePath(QStringLiteral("s.json")),
        QStringLiteral("{\"fileType\":\"snapshot\",\"note\":\"Größe\"}\n").toUtf8());
    script(QStringLiteral("open ") + expand(answer));

    QSignalSpy named(bridge.get(), &HtmlComms::updateFileName);
    QCOMPARE(bridge->get_text_file(QStringLiteral("Load"), QStringLiteral("*.json"), QString(),
                 QStringLiteral("snapshot_dir")),
        text);
    QCOMPARE(named.size(), 1);
    QCOMPARE(named[0][0].toString(), expand(reportedName));
}

void TestHtmlComms::scriptedMessageBoxes_data()
{
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("recorded");

    QTest::newRow("confirm yes") << "confirm yes"
                                 << "confirm"
                                 << "true"
                                 << "yes";
    QTest::newRow("confirm cancel") << "confirm cancel"
                                    << "confirm"
                                    << "false"
                                    << "cancel";
    QTest::newRow("confirm unanswered") << ""
                                        << "confirm"
                                        << "false"
                                        << "!unanswered";
    QTest::newRow("confirm but alert next") << "alert ok"
                                            << "confirm"
                                            << "false"
                                            << "!mismatch alert ok";
    QTest::newRow("alert ok") << "alert ok"
                              << "alert"
                              << "true"
                              << "ok";
    QTest::newRow("alert unanswered") << ""
                                      << "alert"
                                      << "true"
                                      << "!unanswered";
}

void TestHtmlComms::scriptedMessageBoxes()
{
    QFETCH(QString, answers);
    QFETCH(QString, call);
    QFETCH(QString, result);
    QFETCH(QString, recorded);

    script(answers);
    const QString title = QStringLiteral("Write Settings");
    const QString text = QStringLiteral("Write the settings to the unit?");
    QCOMPARE(call == QLatin1String("confirm") ? bridge->confirm_dialog(title, text)
                                              : bridge->alert_dialog(title, text),
        result);
    const QStringList question { call, title, text, QString(), recorded };
    QCOMPARE(askedrecord::read(scriptPath()), QVector<QStringList> { question });
}

void TestHtmlComms::realMessageBoxesAreModalToTheMainWindow_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("result");

    QTest::newRow("confirm closed by its window button") << true << "false";
    QTest::newRow("alert closed by its window button") << false << "true";
}

void TestHtmlComms::realMessageBoxesAreModalToTheMainWindow()
{
    QFETCH(bool, confirm);
    QFETCH(QString, result);

    bridge->setDialogs(std::make_unique<QtPageDialogs>());
    host->window.show();
    // Looks for the box at every pass of its event loop and closes it like the user would.
    QPointer<QWidget> parentSeen;
    QString titleSeen;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        closer.stop();
        parentSeen = box->parentWidget();
        titleSeen = box->windowTitle();
        box->close();
    });
    closer.start(0);

    const QString answer = confirm
        ? bridge->confirm_dialog(QStringLiteral("Confirm"), QStringLiteral("Go on?"))
        : bridge->alert_dialog(QStringLiteral("Alert"), QStringLiteral("Look."));
    QCOMPARE(answer, result);
    QCOMPARE(parentSeen.data(), &host->window);
    QCOMPARE(titleSeen, confirm ? QStringLiteral("Confirm") : QStringLiteral("Alert"));
}

void TestHtmlComms::projectOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("asked"); // kind and title of each question, in order
    QTest::addColumn<int>("resets");
    QTest::addColumn<bool>("defaultSaved");

    // The default project does not exist yet, so it counts as changed.
    QTest::newRow("new project") << "new_project"
                                 << "project discard" << QStringList { "project Save Project" } << 1
                                 << false;
    QTest::newRow("new project cancelled")
        << "new_project"
        << "project cancel" << QStringList { "project Save Project" } << 0 << false;
    QTest::newRow("open project") << "open_project"
                                  << "open cancel" << QStringList { "open Open Project File" } << 0
                                  << false;
    QTest::newRow("save as") << "save_project_as"
                             << "save cancel" << QStringList { "save Save Project File" } << 0
                             << false;
    QTest::newRow("save asking") << "save_project TRUE"
                                 << "project cancel" << QStringList { "project Save Project" } << 0
                                 << false;
    QTest::newRow("save asking, any case")
        << "save_project tRuE"
        << "project discard" << QStringList { "project Save Project" } << 0 << false;
    QTest::newRow("save without asking") << "save_project false"
                                         << "" << QStringList {} << 0 << true;
    QTest::newRow("save, word not true") << "save_project yes"
                                         << "" << QStringList {} << 0 << true;
}

void TestHtmlComms::projectOperations()
{
    QFETCH(QString, operation);
    QFETCH(QString, answers);
    QFETCH(QStringList, asked);
    QFETCH(int, resets);
    QFETCH(bool, defaultSaved);

    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QFile::remove(dataDir + QStringLiteral("/default.vdp"));
    QSettings().remove(QStringLiteral("project"));
    script(answers);
    FakeSaveObject content;
    host->manager = std::make_unique<AppProjects>(dataDir,
        std::make_unique<ScriptedProjectDialogs>(std::make_shared<DialogScript>(scriptPath())));
    host->manager->setSaveObject(&content);

    const QString name = operation.section(QLatin1Char(' '), 0, 0);
    const QString argument = operation.section(QLatin1Char(' '), 1);
    if (name == QLatin1String("save_project"))
        bridge->save_project(argument);
    else
        QVERIFY(QMetaObject::invokeMethod(bridge.get(), name.toLatin1().constData()));

    QCOMPARE(askedKinds(), asked);
    QCOMPARE(content.resets, resets);
    QCOMPARE(QFile::exists(dataDir + QStringLiteral("/default.vdp")), defaultSaved);
    host->manager.reset();
}

void TestHtmlComms::exitClosesTheMainWindow()
{
    bridge->exit_application();
    QCOMPARE(host->closeRequests, 1);

    // Before the main window is known, the request has nowhere to go and is dropped.
    HtmlComms alone;
    alone.exit_application();
    alone.new_project();
    QCOMPARE(host->closeRequests, 1);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Varen"));
    QCoreApplication::setApplicationName(QStringLiteral("pagehost-htmlcomms-test"));
    TestHtmlComms test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_htmlcomms.moc"
