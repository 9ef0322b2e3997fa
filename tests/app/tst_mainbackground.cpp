// The main window's backdrop: an opaque window colour and a radial gradient from a lighter tint
// in the middle to the window colour at the edge, rebuilt on resizes and palette changes.
#include "app/mainbackground.h"

#include "offscreentest.h"

#include <QRadialGradient>

namespace {
// Colours derived by hand from the rule (hue kept, saturation 65, value lifted by 50 but never
// past 255); Qt rounds the HSV conversion, so one step either way is accepted.
bool near(const QColor& actual, const QColor& expected)
{
    return qAbs(actual.red() - expected.red()) <= 1 && qAbs(actual.green() - expected.green()) <= 1
        && qAbs(actual.blue() - expected.blue()) <= 1 && actual.alpha() == expected.alpha();
}

QString describe(const QColor& colour)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}
} // namespace

class MainBackgroundTest : public QObject
{
    Q_OBJECT
private slots:
    void gradient_data();
    void gradient();
    void followsPaletteChanges();
};

void MainBackgroundTest::gradient_data()
{
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("centre");
    QTest::addColumn<QPointF>("middle");
    QTest::addColumn<qreal>("radius");

    QTest::newRow("ocean, translucent") << QColor(7, 38, 59, 220) << QSize(800, 600)
                                        << QColor(81, 98, 109) << QPointF(400, 300) << 1200.0;
    QTest::newRow("night grey") << QColor(43, 43, 43, 220) << QSize(1024, 768) << QColor(93, 93, 93)
                                << QPointF(512, 384) << 1536.0;
    QTest::newRow("odd size, taller than wide")
        << QColor(7, 38, 59) << QSize(101, 333) << QColor(81, 98, 109) << QPointF(50, 166) << 202.0;
    QTest::newRow("value 205, no clamp needed")
        << QColor(205, 205, 205) << QSize(200, 100) << QColor(255, 255, 255) << QPointF(100, 50)
        << 200.0;
    QTest::newRow("light grey, value clamped")
        << QColor(240, 240, 240) << QSize(200, 100) << QColor(255, 255, 255) << QPointF(100, 50)
        << 200.0;
    QTest::newRow("light blue, value clamped")
        << QColor(200, 220, 240) << QSize(300, 300) << QColor(190, 222, 255) << QPointF(150, 150)
        << 600.0;
}

void MainBackgroundTest::gradient()
{
    QFETCH(QColor, window);
    QFETCH(QSize, size);
    QFETCH(QColor, centre);
    QFETCH(QPointF, middle);
    QFETCH(qreal, radius);

    MainBackground background;
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    background.setPalette(palette);
    background.resize(size);
    background.show();

    QColor opaque = window;
    opaque.setAlpha(255);
    for (QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
        QCOMPARE(background.palette().color(group, QPalette::Window), opaque);

    auto* gradientWidget = background.findChild<QWidget*>(QStringLiteral("widget_Gradient"));
    QVERIFY(gradientWidget);
    QVERIFY(gradientWidget->autoFillBackground());
    for (QPalette::ColorGroup group :
        { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const QGradient* gradient
            = gradientWidget->palette().brush(group, QPalette::Window).gradient();
        QVERIFY(gradient);
        QCOMPARE(gradient->type(), QGradient::RadialGradient);
        const auto* radial = static_cast<const QRadialGradient*>(gradient);
        QCOMPARE(radial->center(), middle);
        QCOMPARE(radial->radius(), radius);
        const QGradientStops stops = radial->stops();
        QCOMPARE(stops.size(), 2);
        QCOMPARE(stops[0].first, 0.0);
        QVERIFY2(near(stops[0].second, centre), qPrintable(describe(stops[0].second)));
        QCOMPARE(stops[1].first, 1.0);
        QCOMPARE(stops[1].second, opaque);
    }
}

void MainBackgroundTest::followsPaletteChanges()
{
    MainBackground background;
    background.resize(400, 200);
    background.show();
    auto* gradientWidget = background.findChild<QWidget*>(QStringLiteral("widget_Gradient"));

    QPalette palette;
    palette.setColor(QPalette::Window, QColor(43, 43, 43, 100));
    background.setPalette(palette);
    QCOMPARE(background.palette().color(QPalette::Window), QColor(43, 43, 43, 255));
    const auto* gradient = gradientWidget->palette().brush(QPalette::Window).gradient();
    QVERIFY(gradient);
    QCOMPARE(gradient->stops().last().second, QColor(43, 43, 43, 255));

    // A visible widget gets its resize event at once.
    background.resize(100, 60);
    gradient = gradientWidget->palette().brush(QPalette::Window).gradient();
    QCOMPARE(static_cast<const QRadialGradient*>(gradient)->center(), QPointF(50, 30));
    QCOMPARE(static_cast<const QRadialGradient*>(gradient)->radius(), 120.0);
}

int main(int argc, char** argv)
{
    return runOffscreen<MainBackgroundTest>(argc, argv);
}

#include "tst_mainbackground.moc"
