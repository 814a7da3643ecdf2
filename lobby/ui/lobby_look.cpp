// The lobby's shared look.
#include "lobby/ui/lobby_look.h"

#include <QPalette>
#include <QWidget>

namespace zrt {

QFont ArialFont(int points) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize((points * 96 + 36) / 72);
    font.setStyleHint(QFont::SansSerif);
    return font;
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

}  // namespace zrt
