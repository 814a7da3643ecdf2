// The application object.
#include "lobby/app/application.h"

#include <QPalette>

namespace zrt {

LobbyApplication::LobbyApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("ZRTH Lobby");
    setApplicationDisplayName("ZRTH Lobby");
}

void LobbyApplication::SetDialogColours() {
    QPalette pal = QApplication::palette();
    const QColor grey(90, 90, 90);
    pal.setColor(QPalette::Window, grey);
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Button, grey);
    pal.setColor(QPalette::ButtonText, Qt::white);
    pal.setColor(QPalette::Text, Qt::white);
    pal.setColor(QPalette::Base, Qt::black);
    QApplication::setPalette(pal);
}

}  // namespace zrt
