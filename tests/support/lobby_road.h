// The road a test takes into a hall with the real lobby: a lobby account for one sample profile
// of a game folder (made on the server, its password read from the server's outbox, registered
// in the profile), then the lobby's own start-up, sign-in and hall join, driven as a user would.
// Each step is also at hand alone, for tests that make one of them fail. Every wait is bounded.
#pragma once

#include <QApplication>
#include <QListWidget>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "tests/support/server_process.h"

namespace zrt {
class HallWindow;
class LobbyWnd;
class LoginWindow;
}  // namespace zrt

// The visible top-level window of type W, or null.
template <class W>
W* VisibleTopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* found = qobject_cast<W*>(w);
        if (found && found->isVisible()) return found;
    }
    return nullptr;
}

// True when a line of the list contains `part`.
bool ListHolds(const QListWidget* list, const QString& part);

// Makes the lobby account `stem` on `server` for the profile of that stem in `gameDir` and
// registers it there. The mailed password, or "" when something failed.
QString CreateLobbyAccount(const zrttest::ServerProcess& server, const QString& gameDir,
                           const std::string& stem);

// Runs the start-up in `gameDir` (announcing the address of `hostName` when given; a news box
// is closed): the login window with its first profile selected, or null when start-up stopped.
zrt::LoginWindow* StartLobby(const QString& gameDir,
                             const std::optional<std::string>& hostName = std::nullopt);

// Selects the first profile of the login window and presses Continue, typing `password` into
// the login dialog and confirming it.
void ContinueWithPassword(zrt::LoginWindow* login, const QString& password);

// Start-up, then sign-in with the first registered profile and `password`: the hall window,
// or null.
zrt::HallWindow* SignIn(const QString& gameDir, const QString& password,
                        const std::optional<std::string>& hostName = std::nullopt);

// Enters the first hall whose listing starts with `hallPrefix` once it is listed: the lobby
// screen once it is titled, or null.
zrt::LobbyWnd* EnterHall(zrt::HallWindow* halls, const QString& hallPrefix);

// SignIn, then EnterHall.
zrt::LobbyWnd* SignInAndEnterHall(const QString& gameDir, const QString& password,
                                  const QString& hallPrefix,
                                  const std::optional<std::string>& hostName = std::nullopt);
