// The application object.
#include "lobby/app/application.h"

#include <malloc.h>

#include <QPalette>

#include "lobby/ui/lobby_look.h"

namespace zrt {

namespace {
// One heap for all threads, set before Qt starts any: the lobby's few worker threads (server
// requests, the session receiver, the banner) allocate little, and an arena of their own
// would keep what they freed resident beside the main heap. Returns `argc` for the base.
int& WithOneHeap(int& argc) {
    mallopt(M_ARENA_MAX, 1);
    return argc;
}
}  // namespace

LobbyApplication::LobbyApplication(int& argc, char** argv) : QApplication(WithOneHeap(argc), argv) {
    // Only the application name: a display name would be appended to every window title.
    setApplicationName("ZRTH Lobby");
}

void LobbyApplication::SetDialogColours() {
    QPalette pal = QApplication::palette();
    zrt::SetDialogColours(pal);
    QApplication::setPalette(pal);
}

}  // namespace zrt
