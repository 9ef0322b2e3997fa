#pragma once
// The application's colour themes. "ocean" is the one the program uses; "night" is the darker
// grey variant. Names are matched without regard to case; any other name gives Qt's default
// palette, so a mistyped theme still leaves a usable window.
//
// Thread: GUI thread (palettes are GUI objects). Owner: none; the functions are static.
#include <QColor>
#include <QPalette>
#include <QString>

class Themes
{
public:
    static QPalette buildPalette(const QString& name);
    // Sets the text roles (window text, text, button text, links) of every group to text, and of
    // the disabled group to disabledText; disabled button text is darker still.
    static void applyTextColours(QPalette& palette, const QColor& text, const QColor& disabledText);

private:
    static QPalette nightPalette();
    static QPalette oceanPalette();
    static void setForAllGroups(QPalette& palette, QPalette::ColorRole role, const QColor& colour);
};
