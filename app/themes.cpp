#include "app/themes.h"

namespace {
const QColor Highlight(53, 141, 222, 255);
const QColor LightText(235, 235, 235, 255);
} // namespace

QPalette Themes::buildPalette(const QString& name)
{
    const QString theme = name.toLower();
    if (theme == QLatin1String("night"))
        return nightPalette();
    if (theme == QLatin1String("ocean"))
        return oceanPalette();
    return QPalette();
}

QPalette Themes::nightPalette()
{
    // Translucent button colour: the generated window colour is translucent too, and the main
    // window's background paints it opaque with a gradient of its own.
    QPalette palette(QColor(43, 43, 43, 220));
    setForAllGroups(palette, QPalette::Highlight, Highlight);
    applyTextColours(palette, LightText, QColor(190, 190, 190, 255));
    palette.setColor(QPalette::Disabled, QPalette::Button,
        palette.color(QPalette::Disabled, QPalette::Button).darker(200));
    return palette;
}

QPalette Themes::oceanPalette()
{
    QPalette palette(QColor(7, 38, 59, 220));
    setForAllGroups(palette, QPalette::Highlight, Highlight);
    setForAllGroups(palette, QPalette::Shadow, QColor(7, 38, 59, 255));
    applyTextColours(palette, LightText, QColor(255, 255, 255, 255));
    return palette;
}

void Themes::applyTextColours(QPalette& palette, const QColor& text, const QColor& disabledText)
{
    setForAllGroups(palette, QPalette::WindowText, text);
    palette.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
    setForAllGroups(palette, QPalette::Text, text);
    palette.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
    setForAllGroups(palette, QPalette::ButtonText, text);
    palette.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText.darker(200));
    setForAllGroups(palette, QPalette::Link, text);
    setForAllGroups(palette, QPalette::LinkVisited, text);
}

void Themes::setForAllGroups(QPalette& palette, QPalette::ColorRole role, const QColor& colour)
{
    palette.setBrush(role, QBrush(colour, Qt::SolidPattern));
}
