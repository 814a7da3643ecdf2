// The road a test takes into a hall with the real lobby: a lobby account for one sample profile
// of a game folder (made on the server, its password read from the server's outbox, registered
// in the profile), then the lobby's own start-up, sign-in and hall join, driven as a user would.
#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>

#include <optional>
#include <string>

#include "tests/support/server_process.h"

namespace zrt {
class LobbyWnd;
class LoginWindow;
}

// The visible top-level window of type W, or null.
template <class W>
W* VisibleTopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* found = qobject_cast<W*>(w);
        if (found && found->isVisible()) return found;
    }
    return nullptr;
}

// Makes the lobby account `stem` on `server` for the profile of that stem in `gameDir` and
// registers it there. The mailed password, or "" when something failed.
QString CreateLobbyAccount(ServerProcess& server, const QString& gameDir, const std::string& stem);

// Selects the first profile of the login window and presses Continue, typing `password` into
// the login dialog and confirming it.
void ContinueWithPassword(zrt::LoginWindow* login, const QString& password);

// Runs the start-up in `gameDir` (announcing the address of `hostName` when given), signs in
// with the first registered profile and `password`, and enters the first hall whose listing
// starts with `hallPrefix`. The lobby screen once it is titled, or null.
zrt::LobbyWnd* SignInAndEnterHall(const QString& gameDir, const QString& password,
                                  const QString& hallPrefix,
                                  const std::optional<std::string>& hostName = std::nullopt);
