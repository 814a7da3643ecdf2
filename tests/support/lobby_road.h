// The road into a hall as the end-to-end tests walk it against a real zrtserver: a lobby
// account for the sample profile ALICE (its password read from the server's outbox), start-up
// and sign-in, and entering a hall. Every wait is bounded.
#pragma once

#include <QApplication>
#include <QListWidget>
#include <QString>

#include "tests/support/game_folder.h"
#include "tests/support/server_process.h"

namespace zrt {
class HallWindow;
class LobbyWnd;
class LoginWindow;
}  // namespace zrt

// The visible top-level window of type W, or nullptr.
template <class W>
W* TopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* found = qobject_cast<W*>(w);
        if (found && found->isVisible()) return found;
    }
    return nullptr;
}

// True when a line of the list contains `part`.
bool ListHolds(const QListWidget* list, const QString& part);

// Names the server in the folder's Server.txt, points this process at the folder, creates
// ALICE's account on the server and registers her profile. The mailed password, or "" when
// any step failed.
QString CreateAliceAccount(const ServerProcess& server, const TestGameFolder& folder);

// Start-up in the folder (the news box closed): the login window with its first profile
// selected, or nullptr when start-up stopped.
zrt::LoginWindow* StartLobby(const TestGameFolder& folder);

// Start-up, then ALICE signs in with `password`: the hall window once it lists at least two
// halls, or nullptr.
zrt::HallWindow* SignInAlice(const TestGameFolder& folder, const QString& password);

// Enters the first listed hall whose text starts with `hall`: the lobby screen once its
// title shows, or nullptr.
zrt::LobbyWnd* EnterHall(zrt::HallWindow* halls, const QString& hall);
