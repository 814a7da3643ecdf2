// The lobby's shared look.
#include "lobby/ui/lobby_look.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace zrt {

namespace {

QFont SansFont(const QString& family, int points) {
    QFont font(family);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QFont ArialFont(int points) {
    return SansFont(QStringLiteral("Arial"), points);
}

QFont MsSansSerifFont(int points) {
    return SansFont(QStringLiteral("MS Sans Serif"), points);
}

void ApplyDialogLook(QWidget* widget) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, kDialogGrey);
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Button, kDialogGrey);
    pal.setColor(QPalette::ButtonText, Qt::white);
    pal.setColor(QPalette::Text, Qt::white);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QLabel* YellowOnBlackLabel(QWidget* parent, const QString& text, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kPaintedTextYellow);
    label->setPalette(pal);
    label->adjustSize();
    label->move(at);
    return label;
}

}  // namespace zrt
