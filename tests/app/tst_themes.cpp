// The colour themes: both themes by name in any capitalisation, against the values the
// application's look is defined by, and Qt's default palette for every other name.
#include "app/themes.h"

#include "offscreentest.h"
#include <QtTest>

namespace {
const QColor Highlight(53, 141, 222, 255);
const QColor Text(235, 235, 235, 255);
const QList<QPalette::ColorGroup> Groups { QPalette::Active, QPalette::Inactive,
    QPalette::Disabled };
} // namespace

class ThemesTest : public QObject
{
    Q_OBJECT
private slots:
    void themes_data();
    void themes();
    void otherNamesGiveTheDefaultPalette_data();
    void otherNamesGiveTheDefaultPalette();
    void applyTextColours();
};

void ThemesTest::themes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("button");
    QTest::addColumn<bool>("ownShadow");
    QTest::addColumn<QColor>("disabledText");
    QTest::addColumn<bool>("darkerDisabledButton");

    const QColor ocean(7, 38, 59, 220);
    const QColor night(43, 43, 43, 220);
    for (const char* name : { "ocean", "Ocean", "OCEAN", "oCeAn" })
        QTest::newRow(name) << name << ocean << true << QColor(255, 255, 255, 255) << false;
    for (const char* name : { "night", "Night", "NIGHT" })
        QTest::newRow(name) << name << night << false << QColor(190, 190, 190, 255) << true;
}

void ThemesTest::themes()
{
    QFETCH(QString, name);
    QFETCH(QColor, button);
    QFETCH(bool, ownShadow);
    QFETCH(QColor, disabledText);
    QFETCH(bool, darkerDisabledButton);

    const QPalette palette = Themes::buildPalette(name);
    const QPalette generated(button);

    QCOMPARE(palette.color(QPalette::Active, QPalette::Button), button);
    QCOMPARE(palette.color(QPalette::Active, QPalette::Window), button);
    const QColor shadow = ownShadow ? QColor(7, 38, 59, 255) : QColor();
    for (QPalette::ColorGroup group : Groups) {
        QCOMPARE(palette.color(group, QPalette::Highlight), Highlight);
        QCOMPARE(palette.color(group, QPalette::Shadow),
            ownShadow ? shadow : generated.color(group, QPalette::Shadow));
        QCOMPARE(palette.color(group, QPalette::Link), Text);
        QCOMPARE(palette.color(group, QPalette::LinkVisited), Text);
    }
    for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive }) {
        QCOMPARE(palette.color(group, QPalette::WindowText), Text);
        QCOMPARE(palette.color(group, QPalette::Text), Text);
        QCOMPARE(palette.color(group, QPalette::ButtonText), Text);
    }
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), disabledText);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), disabledText);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::ButtonText), disabledText.darker(200));
    const QColor generatedDisabledButton = generated.color(QPalette::Disabled, QPalette::Button);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Button),
        darkerDisabledButton ? generatedDisabledButton.darker(200) : generatedDisabledButton);
}

void ThemesTest::otherNamesGiveTheDefaultPalette_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : { "", "sea", "oceanic", " ocean", "night ", "day" })
        QTest::newRow(name[0] ? name : "empty") << name;
}

void ThemesTest::otherNamesGiveTheDefaultPalette()
{
    QFETCH(QString, name);
    const QPalette palette = Themes::buildPalette(name);
    QCOMPARE(palette, QPalette());
    QVERIFY(palette != Themes::buildPalette(QStringLiteral("ocean")));
}

void ThemesTest::applyTextColours()
{
    QPalette palette(QColor(100, 120, 140));
    const QColor text(10, 20, 30);
    const QColor disabled(200, 100, 50);
    Themes::applyTextColours(palette, text, disabled);

    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
             QPalette::Link, QPalette::LinkVisited }) {
        for (QPalette::ColorGroup group : Groups)
            QCOMPARE(palette.brush(group, role).style(), Qt::SolidPattern);
    }
    // Links keep the normal text colour even when disabled; the other roles do not.
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Link), text);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::LinkVisited), text);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), disabled);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), disabled);
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::ButtonText), disabled.darker(200));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::ButtonText), text);
}

int main(int argc, char** argv)
{
    return runOffscreen<ThemesTest>(argc, argv);
}

#include "tst_themes.moc"
