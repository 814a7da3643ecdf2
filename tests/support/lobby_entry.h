// The road to a lobby screen for end-to-end tests: a lobby account for the sample profile
// ALICE on a real zrtserver, the start-up, the sign-in with the mailed password and the
// amateur hall entered.
#pragma once

#include <QApplication>
#include <QWidget>

class ServerProcess;
class TestGameFolder;

namespace zrt {
class LobbyWnd;
}

// The visible top-level window of type W, or null.
template <class W>
W* topLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* found = qobject_cast<W*>(w);
        if (found && found->isVisible()) return found;
    }
    return nullptr;
}

// Signs ALICE in against `server` (the folder's Server.txt is pointed at it) and enters its
// amateur hall; the lobby screen, or null when a step failed.
zrt::LobbyWnd* enterAmateurHall(ServerProcess& server, TestGameFolder& folder);
