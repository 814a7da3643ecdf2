// The lobby's shared look: dialog colours, the yellow of painted texts, and Arial fonts sized
// in points the way the lobby's screens were laid out (96 pixels per inch).
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

class QLabel;
class QWidget;

namespace zrt {

inline const QColor kDialogGrey(90, 90, 90);
inline const QColor kPaintedTextYellow(255, 255, 0);

// "Arial" at the given point size, as a pixel size of points * 96 / 72 (rounded), so that text
// measures the same on every screen.
QFont ArialFont(int points);

// "MS Sans Serif" at the given point size, sized as ArialFont; a sans-serif face (Liberation
// Sans) stands in where that font is missing.
QFont MsSansSerifFont(int points);

// The font the lobby's dialog layouts are measured in (Arial 9); DialogUnits derive from it.
inline QFont DialogTemplateFont() {
    return ArialFont(9);
}

// Gives a dialog the lobby's grey background and white default text, also when the application
// palette has not been set.
void ApplyDialogLook(QWidget* widget);

// A label in yellow on black, sized to its text, with its top-left corner at `at`.
QLabel* YellowOnBlackLabel(QWidget* parent, const QString& text, QPoint at);

}  // namespace zrt
