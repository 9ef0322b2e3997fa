#include "app/mainbackground.h"

#include <QEvent>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int CentreSaturation = 65;
constexpr int CentreValueLift = 50;
constexpr int MaxValue = 255;
} // namespace

MainBackground::MainBackground(QWidget* parent)
    : QWidget(parent)
{
    setupUi();
    makeWindowOpaque();
    rebuildGradient();
}

void MainBackground::setupUi()
{
    setObjectName(QStringLiteral("MainBackground"));
    resize(713, 459);
    setAutoFillBackground(false);
    setWindowTitle(QStringLiteral("Form"));
    auto* layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    gradientWidget = new QWidget(this);
    gradientWidget->setObjectName(QStringLiteral("widget_Gradient"));
    gradientWidget->setAutoFillBackground(true);
    auto* innerLayout = new QVBoxLayout(gradientWidget);
    innerLayout->setObjectName(QStringLiteral("verticalLayout_2"));
    innerLayout->setSpacing(0);
    innerLayout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(gradientWidget);
}

QColor MainBackground::centreColour(const QColor& c)
{
    // Window colours lighter than value 205 would overflow the lift; the brightest value is the
    // closest the centre can come to "lighter than the edge".
    const int value = std::min(c.value() + CentreValueLift, MaxValue);
    QColor centre = QColor::fromHsv(c.hsvHue(), CentreSaturation, value, c.alpha());
    centre.setAlpha(255);
    return centre;
}

void MainBackground::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    rebuildGradient();
}

void MainBackground::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    makeWindowOpaque();
    rebuildGradient();
}

void MainBackground::makeWindowOpaque()
{
    QColor window = palette().color(QPalette::Window);
    if (window.alpha() == 255)
        return;
    window.setAlpha(255);
    QPalette own = palette();
    own.setBrush(QPalette::Window, window);
    // Setting the palette sends another palette change, which finds the colour opaque.
    setPalette(own);
}

void MainBackground::rebuildGradient()
{
    const QColor c = palette().color(QPalette::Window);
    if (!c.isValid())
        return;
    QRadialGradient gradient(width() / 2, height() / 2, 2 * std::min(width(), height()));
    gradient.setColorAt(0, centreColour(c));
    QColor edge = c;
    edge.setAlpha(255);
    gradient.setColorAt(1, edge);
    QPalette gradientPalette = gradientWidget->palette();
    gradientPalette.setBrush(QPalette::Window, QBrush(gradient));
    gradientWidget->setPalette(gradientPalette);
}
