// The real question and error boxes, answered the way a user would: the buttons, the keys and
// the window's close button each give the intended answer, with the texts they were given.
#include "projects/projectdialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(IProjectDialogs::SaveChoice)

namespace {

// Acts on the next message box once it is shown; the box's own event loop runs the timer.
void whenBoxShown(const std::function<void(QMessageBox*)>& act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(box);
                return;
            }
        }
    });
    timer->start();
}

} // namespace

// Qt 5.15's offscreen platform never frees its screen. In the sanitizer build the leak checker
// would charge that to this test; full stacks let the suppression recognise Qt's own start-up.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:QGuiApplicationPrivate::createPlatformIntegration\n";
}

class ProjectDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void askSaveChanges_data();
    void askSaveChanges();
    void showError();
};

void ProjectDialogsTest::askSaveChanges_data()
{
    using Choice = IProjectDialogs::SaveChoice;
    QTest::addColumn<QString>("action");
    QTest::addColumn<Choice>("choice");
    QTest::newRow("Save") << "Save" << Choice::Save;
    QTest::newRow("Discard") << "Discard" << Choice::Discard;
    QTest::newRow("Cancel") << "Cancel" << Choice::Cancel;
    QTest::newRow("Return takes the default") << "Return" << Choice::Save;
    QTest::newRow("Escape") << "Escape" << Choice::Cancel;
    QTest::newRow("window closed") << "Close" << Choice::Cancel;
}

void ProjectDialogsTest::askSaveChanges()
{
    QFETCH(QString, action);
    QFETCH(IProjectDialogs::SaveChoice, choice);

    QString title;
    QString text;
    QString informativeText;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    whenBoxShown([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        informativeText = box->informativeText();
        defaultButton = box->standardButton(box->defaultButton());
        if (action == "Return")
            QTest::keyClick(box, Qt::Key_Return);
        else if (action == "Escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (action == "Close")
            box->close();
        else
            box->button(action == "Save"
                       ? QMessageBox::Save
                       : (action == "Discard" ? QMessageBox::Discard : QMessageBox::Cancel))
                ->click();
    });

    ProjectDialogs dialogs;
    QCOMPARE(dialogs.askSaveChanges("Save Project", "The project has been modified.",
                 "Do you want to save your changes?"),
        choice);
    QCOMPARE(title, QString("Save Project"));
    QCOMPARE(text, QString("The project has been modified."));
    QCOMPARE(informativeText, QString("Do you want to save your changes?"));
    QCOMPARE(defaultButton, QMessageBox::Save);
}

void ProjectDialogsTest::showError()
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxShown([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });

    ProjectDialogs().showError("Load Failed", "There was an error loading the project file:\n/x");
    QCOMPARE(title, QString("Load Failed"));
    QCOMPARE(text, QString("There was an error loading the project file:\n/x"));
    QCOMPARE(icon, QMessageBox::Critical);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ProjectDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_projectdialogs.moc"
