// The application object.
#include "lobby/app/application.h"

#include <QPalette>

#include "lobby/ui/lobby_look.h"

namespace zrt {

LobbyApplication::LobbyApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Only the application name: a display name would be appended to every window title.
    setApplicationName("ZRTH Lobby");
}

void LobbyApplication::SetDialogColours() {
    QPalette pal = QApplication::palette();
    zrt::SetDialogColours(pal);
    QApplication::setPalette(pal);
}

}  // namespace zrt
