// The dialog seam that end-to-end tests drive: the script file and its record, the scripted
// project and page dialogs, and the factories that choose them from the environment.
#include "askedrecord.h"
#include "pagehost/qtpagedialogs.h"
#include "pagehost/scriptedpagedialogs.h"
#include "projects/dialogscript.h"
#include "projects/projectdialogs.h"
#include "projects/scriptedprojectdialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString NoAnswer = QStringLiteral("<none>");

void writeScript(const QString& path, const QString& text, QIODevice::OpenMode mode)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | mode));
    file.write(text.toUtf8());
}

QString shown(const std::optional<QString>& answer)
{
    return answer ? *answer : NoAnswer;
}

QStringList column(const QVector<QStringList>& rows, int field)
{
    QStringList values;
    for (const QStringList& row : rows)
        values << row.value(field);
    return values;
}

} // namespace

class TestDialogScript : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void answersInOrder_data();
    void answersInOrder();
    void answersAppendedLaterAreRead();
    void recordKeepsEveryFieldOnOneLine();
    void projectQuestions_data();
    void projectQuestions();
    void factoriesFollowTheEnvironment();
    void factoriesShareOneScript();

private:
    QString scriptPath() const { return dir->filePath(QStringLiteral("dialogs.txt")); }

    std::unique_ptr<QTemporaryDir> dir;
};

void TestDialogScript::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    qunsetenv(DialogScript::EnvironmentVariable);
}

void TestDialogScript::answersInOrder_data()
{
    QTest::addColumn<QString>("script"); // null: no script file at all
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("recorded");

    QTest::newRow("in order") << "confirm yes\nalert ok\nopen /tmp/a.txt\n"
                              << QStringList { "confirm", "alert", "open" }
                              << QStringList { "yes", "ok", "/tmp/a.txt" }
                              << QStringList { "yes", "ok", "/tmp/a.txt" };
    QTest::newRow("comments and blank lines")
        << "# start\n\n   \n  confirm cancel  \n"
        << QStringList { "confirm" } << QStringList { "cancel" } << QStringList { "cancel" };
    QTest::newRow("path with blanks")
        << "save /tmp/my log file.txt\n"
        << QStringList { "save" } << QStringList { "/tmp/my log file.txt" }
        << QStringList { "/tmp/my log file.txt" };
    QTest::newRow("script used up")
        << "confirm yes\n"
        << QStringList { "confirm", "confirm" } << QStringList { "yes", NoAnswer }
        << QStringList { "yes", "!unanswered" };
    QTest::newRow("no script file") << QString() << QStringList { "alert" }
                                    << QStringList { NoAnswer } << QStringList { "!unanswered" };
    QTest::newRow("other kind next is kept for later")
        << "alert ok\n"
        << QStringList { "confirm", "alert" } << QStringList { NoAnswer, "ok" }
        << QStringList { "!mismatch alert ok", "ok" };
}

void TestDialogScript::answersInOrder()
{
    QFETCH(QString, script);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, recorded);

    if (!script.isNull())
        writeScript(scriptPath(), script, QIODevice::Truncate);
    DialogScript dialogs(scriptPath());
    QStringList given;
    for (const QString& kind : questions)
        given << shown(dialogs.ask(kind, QStringLiteral("Title"), QStringLiteral("Text")));

    QCOMPARE(given, answers);
    const QVector<QStringList> rows = askedrecord::read(scriptPath());
    QCOMPARE(column(rows, 0), questions);
    QCOMPARE(column(rows, 4), recorded);
}

void TestDialogScript::answersAppendedLaterAreRead()
{
    writeScript(scriptPath(), QStringLiteral("confirm yes\n"), QIODevice::Truncate);
    DialogScript dialogs(scriptPath());
    QCOMPARE(shown(dialogs.ask(QStringLiteral("confirm"), {}, {})), QStringLiteral("yes"));
    QCOMPARE(shown(dialogs.ask(QStringLiteral("alert"), {}, {})), NoAnswer);

    writeScript(scriptPath(), QStringLiteral("alert ok\nsave cancel\n"), QIODevice::Append);
    QCOMPARE(shown(dialogs.ask(QStringLiteral("alert"), {}, {})), QStringLiteral("ok"));
    QCOMPARE(dialogs.askForPath(QStringLiteral("save"), {}, {}, {}), QString());
}

void TestDialogScript::recordKeepsEveryFieldOnOneLine()
{
    writeScript(scriptPath(), QStringLiteral("project discard\n"), QIODevice::Truncate);
    DialogScript dialogs(scriptPath());
    const QString title = QStringLiteral("Tab\there");
    const QString text = QStringLiteral("There was an error loading the project file:\nC:\\p.vdp");
    dialogs.ask(QStringLiteral("project"), title, text, QStringLiteral("line\r\nend"));

    QFile raw(dialogs.recordPath());
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QCOMPARE(raw.readAll().count('\n'), 1);
    const QVector<QStringList> rows = askedrecord::read(scriptPath());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0],
        (QStringList { "project", title, text, QStringLiteral("line\r\nend"), "discard" }));
}

void TestDialogScript::projectQuestions_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("openedPath");

    using Choice = IProjectDialogs::SaveChoice;
    QTest::newRow("save") << "project save\nopen /p/a.vdp" << int(Choice::Save) << "/p/a.vdp";
    QTest::newRow("discard") << "project discard\nopen cancel" << int(Choice::Discard) << "";
    QTest::newRow("cancel") << "project cancel" << int(Choice::Cancel) << "";
    QTest::newRow("unknown word") << "project later" << int(Choice::Cancel) << "";
    QTest::newRow("nothing scripted") << "" << int(Choice::Cancel) << "";
}

void TestDialogScript::projectQuestions()
{
    QFETCH(QString, script);
    QFETCH(int, choice);
    QFETCH(QString, openedPath);

    writeScript(scriptPath(), script, QIODevice::Truncate);
    ScriptedProjectDialogs dialogs(std::make_shared<DialogScript>(scriptPath()));
    QCOMPARE(int(dialogs.askSaveChanges("Save Project", "The project has been modified.",
                 "Do you want to save your changes?")),
        choice);
    QCOMPARE(
        dialogs.chooseOpenFileName("Open Project File", "/start", "Projects (*.vdp)"), openedPath);
    dialogs.showError("Load Failed", "Unable to load project.");

    const QVector<QStringList> rows = askedrecord::read(scriptPath());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].mid(0, 4),
        (QStringList { "project", "Save Project", "The project has been modified.",
            "Do you want to save your changes?" }));
    QCOMPARE(rows[1].mid(0, 4),
        (QStringList { "open", "Open Project File", "/start", "Projects (*.vdp)" }));
    QCOMPARE(
        rows[2].mid(0, 3), (QStringList { "error", "Load Failed", "Unable to load project." }));
}

void TestDialogScript::factoriesFollowTheEnvironment()
{
    QVERIFY(dynamic_cast<ProjectDialogs*>(createProjectDialogs().get()));
    QVERIFY(dynamic_cast<QtPageDialogs*>(createPageDialogs().get()));

    qputenv(DialogScript::EnvironmentVariable, scriptPath().toUtf8());
    QVERIFY(dynamic_cast<ScriptedProjectDialogs*>(createProjectDialogs().get()));
    QVERIFY(dynamic_cast<ScriptedPageDialogs*>(createPageDialogs().get()));
}

void TestDialogScript::factoriesShareOneScript()
{
    // Project and page dialogs are made separately; they must still use the answers in order.
    writeScript(scriptPath(), QStringLiteral("project discard\nconfirm yes\nproject save\n"),
        QIODevice::Truncate);
    qputenv(DialogScript::EnvironmentVariable, scriptPath().toUtf8());
    const std::unique_ptr<IProjectDialogs> project = createProjectDialogs();
    const std::unique_ptr<IPageDialogs> page = createPageDialogs();

    QCOMPARE(project->askSaveChanges({}, {}, {}), IProjectDialogs::SaveChoice::Discard);
    QVERIFY(page->confirm(nullptr, QStringLiteral("Write"), QStringLiteral("Sure?")));
    QCOMPARE(project->askSaveChanges({}, {}, {}), IProjectDialogs::SaveChoice::Save);
    QCOMPARE(column(askedrecord::read(scriptPath()), 0),
        (QStringList { "project", "confirm", "project" }));
}

QTEST_GUILESS_MAIN(TestDialogScript)
#include "tst_dialogscript.moc"
