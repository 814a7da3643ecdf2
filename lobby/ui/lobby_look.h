// The lobby's shared look, one helper per look: the dialog colours (with the grey text of
// disabled controls), the yellow of painted texts, text on black for the controls a dialog
// colours itself, Arial fonts sized in points the way the lobby's screens were laid out (96
// pixels per inch), and the template id every dialog control is tagged with.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>

class QLabel;
class QPalette;

namespace zrt {

inline const QColor kDialogGrey(90, 90, 90);
inline const QColor kPaintedTextYellow(255, 255, 0);
// The text of a disabled control: the platform's grey text, the same on every dialog.
inline const QColor kDisabledTextGrey(150, 150, 150);

// "Arial" at the given point size, as a pixel size of points * 96 / 72 (rounded), so that text
// measures the same on every screen. Fractional sizes (8.5, 9.5) are the screens' own.
QFont ArialFont(double points);

// "MS Sans Serif" at the given point size, sized as ArialFont; a sans-serif face (Liberation
// Sans) stands in where that font is missing.
QFont MsSansSerifFont(double points);

// The font the lobby's dialog layouts are measured in (Arial 9); DialogUnits derive from it.
inline QFont DialogTemplateFont() {
    return ArialFont(9);
}

// The dialog colours: grey background, white text, black fields, and grey text on every
// disabled control.
void SetDialogColours(QPalette& palette);

// Gives a dialog or pane the dialog colours, also when the application palette has not been
// set.
void ApplyDialogLook(QWidget* widget);

// Text of `colour` on black for a control the dialog colours itself: a value field or label
// (window roles) or an edit or list (base roles). Disabled, its text is grey like every
// disabled control's.
void SetTextOnBlack(QWidget* widget, const QColor& colour);
inline void ApplyYellowOnBlack(QWidget* widget) {
    SetTextOnBlack(widget, kPaintedTextYellow);
}
inline void ApplyWhiteOnBlack(QWidget* widget) {
    SetTextOnBlack(widget, Qt::white);
}

// A value field: a label at `rect` with text of `colour` on black.
QLabel* ValueField(QWidget* parent, const QRect& rect, const QColor& colour = Qt::white);

// A label in yellow on black, sized to its text, with its top-left corner at `at`.
QLabel* YellowOnBlackLabel(QWidget* parent, const QString& text, QPoint at);

// Leaves a window untitled, as its template gives it no caption text. The window system shows
// the application's name on a window whose title is empty, so the title is one blank.
void SetNoTitle(QWidget* window);

// Tags a dialog control with the id its template gives it; tests find it by `name` and read
// the id from the "controlId" property.
template <typename W>
W* Tagged(W* widget, const char* name, int id) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setProperty("controlId", id);
    return widget;
}

}  // namespace zrt
