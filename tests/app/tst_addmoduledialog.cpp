// The add-module dialog as the user drives it: one tile per module kind (the built-in kinds
// here, since the test's folder has no descriptor file), Add enabled only while a tile is
// checked, Add and double click emitting the chosen kinds, and a fresh, unchecked dialog every
// time it is shown again.
#include "app/addmoduledialog.h"
#include "app/addmoduleitem.h"

#include "offscreentest.h"

#include <QPushButton>
#include <QToolButton>

namespace {
QToolButton* buttonOf(AddModuleItem* tile)
{
    return tile->findChild<QToolButton*>(QStringLiteral("toolButton"));
}

QPushButton* addButton(AddModuleDialog& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("pushButton_AddModule"));
}

QString styleOf(AddModuleItem* tile)
{
    return tile->findChild<QWidget*>(QStringLiteral("widget_Border"))->styleSheet();
}

QStringList namesOf(const QSignalSpy& spy)
{
    QStringList names;
    for (const QList<QVariant>& call : spy)
        names << call.at(0).value<std::shared_ptr<ModuleDescriptor>>()->name;
    return names;
}
} // namespace

Q_DECLARE_METATYPE(std::shared_ptr<ModuleDescriptor>)

class AddModuleDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tilesFollowTheDescriptors();
    void addIsEnabledOnlyWhileATileIsChecked();
    void addEmitsEveryCheckedKindInTileOrder();
    void cancelAddsNothing();
    void doubleClickAddsExactlyThatKind();
    void rightDoubleClickAddsNothing();
    void reopeningShowsEveryTileUnchecked();
    void tileColours_data();
    void tileColours();
    void checkedTileIsLighterWithAHighlightBorder();

private:
    std::unique_ptr<AddModuleDialog> dialog;
    std::unique_ptr<QSignalSpy> added;
};

void AddModuleDialogTest::initTestCase()
{
    qRegisterMetaType<std::shared_ptr<ModuleDescriptor>>();
}

void AddModuleDialogTest::init()
{
    dialog = std::make_unique<AddModuleDialog>();
    added = std::make_unique<QSignalSpy>(dialog.get(), &AddModuleDialog::addModule);
    dialog->show();
}

void AddModuleDialogTest::cleanup()
{
    added.reset();
    dialog.reset();
}

void AddModuleDialogTest::tilesFollowTheDescriptors()
{
    const auto tiles = dialog->tiles();
    QCOMPARE(tiles.size(), 2);
    QCOMPARE(buttonOf(tiles[0])->text(), QString("K68-TLC"));
    QCOMPARE(buttonOf(tiles[1])->text(), QString("K57-QMR"));
    QCOMPARE(tiles[1]->descriptor()->deviceType, 4);
    QCOMPARE(dialog->windowTitle(), QString("Add Module(s)"));
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QVERIFY(!(dialog->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));
}

void AddModuleDialogTest::addIsEnabledOnlyWhileATileIsChecked()
{
    const auto tiles = dialog->tiles();
    QVERIFY(!addButton(*dialog)->isEnabled());
    QTest::mouseClick(buttonOf(tiles[0]), Qt::LeftButton);
    QVERIFY(tiles[0]->isChecked());
    QVERIFY(addButton(*dialog)->isEnabled());
    QTest::mouseClick(buttonOf(tiles[1]), Qt::LeftButton);
    QTest::mouseClick(buttonOf(tiles[0]), Qt::LeftButton);
    QVERIFY(addButton(*dialog)->isEnabled());
    QTest::mouseClick(buttonOf(tiles[1]), Qt::LeftButton);
    QVERIFY(!addButton(*dialog)->isEnabled());
}

void AddModuleDialogTest::addEmitsEveryCheckedKindInTileOrder()
{
    const auto tiles = dialog->tiles();
    // Checked in the opposite order: the tiles' order counts, not the clicks'.
    QTest::mouseClick(buttonOf(tiles[1]), Qt::LeftButton);
    QTest::mouseClick(buttonOf(tiles[0]), Qt::LeftButton);
    QTest::mouseClick(addButton(*dialog), Qt::LeftButton);
    QCOMPARE(namesOf(*added), QStringList({ "K68-TLC", "K57-QMR" }));
    QVERIFY(!dialog->isVisible());
}

void AddModuleDialogTest::cancelAddsNothing()
{
    QTest::mouseClick(buttonOf(dialog->tiles()[1]), Qt::LeftButton);
    QTest::mouseClick(
        dialog->findChild<QPushButton*>(QStringLiteral("pushButton_Cancel")), Qt::LeftButton);
    QCOMPARE(added->count(), 0);
    QVERIFY(!dialog->isVisible());
}

void AddModuleDialogTest::doubleClickAddsExactlyThatKind()
{
    const auto tiles = dialog->tiles();
    QTest::mouseClick(buttonOf(tiles[0]), Qt::LeftButton);
    QTest::mouseDClick(buttonOf(tiles[1]), Qt::LeftButton);
    QCOMPARE(namesOf(*added), QStringList({ "K57-QMR" }));
    QVERIFY(!tiles[1]->isChecked());
    QVERIFY(!dialog->isVisible());
}

void AddModuleDialogTest::rightDoubleClickAddsNothing()
{
    QTest::mouseDClick(buttonOf(dialog->tiles()[1]), Qt::RightButton);
    QCOMPARE(added->count(), 0);
    QVERIFY(dialog->isVisible());
}

void AddModuleDialogTest::reopeningShowsEveryTileUnchecked()
{
    for (AddModuleItem* tile : dialog->tiles())
        QTest::mouseClick(buttonOf(tile), Qt::LeftButton);
    dialog->close();
    dialog->show();
    const auto tiles = dialog->tiles();
    QCOMPARE(tiles.size(), 2);
    for (AddModuleItem* tile : tiles)
        QVERIFY(!tile->isChecked());
    QVERIFY(!addButton(*dialog)->isEnabled());
    QTest::mouseClick(addButton(*dialog), Qt::LeftButton);
    QCOMPARE(added->count(), 0);
}

void AddModuleDialogTest::tileColours_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("base");
    // Worked out by hand: hue turned back by 15 degrees in HSL (grey counts as hue 359), then
    // the HSV value raised by a quarter.
    QTest::newRow("grey") << QColor(128, 128, 128) << QColor(160, 160, 160);
    QTest::newRow("ocean") << QColor(7, 38, 59) << QColor(9, 64, 74);
    QTest::newRow("pure blue") << QColor(0, 0, 200) << QColor(0, 62, 250);
}

void AddModuleDialogTest::tileColours()
{
    QFETCH(QColor, background);
    QFETCH(QColor, base);
    const QColor actual = AddModuleItem::baseColourFor(background);
    QVERIFY2(qAbs(actual.red() - base.red()) <= 2 && qAbs(actual.green() - base.green()) <= 2
            && qAbs(actual.blue() - base.blue()) <= 2,
        qPrintable(actual.name()));
    QCOMPARE(actual.alpha(), 255);
}

void AddModuleDialogTest::checkedTileIsLighterWithAHighlightBorder()
{
    AddModuleItem* tile = dialog->tiles()[0];
    const QString base = tile->baseColour().name();
    QCOMPARE(styleOf(tile), QStringLiteral("background-color: ") + base);
    QTest::mouseClick(buttonOf(tile), Qt::LeftButton);
    QCOMPARE(styleOf(tile),
        QStringLiteral("border: 1px solid palette(highlight); background-color: ")
            + tile->baseColour().lighter(125).name() + QLatin1Char(';'));
    QTest::mouseClick(buttonOf(tile), Qt::LeftButton);
    QCOMPARE(styleOf(tile), QStringLiteral("background-color: ") + base);
}

int main(int argc, char** argv)
{
    return runOffscreen<AddModuleDialogTest>(argc, argv);
}

#include "tst_addmoduledialog.moc"
