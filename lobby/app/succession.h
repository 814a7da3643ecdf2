// The succession of main windows: what each closing main window opens next, always at
// MainWindowRect (which the closing window has moved to its own place).
//   LoginWindow  --sign-in-->  HallWindow  --hall joined-->  LobbyWnd
//   HallWindow   --Cancel-->   LoginWindow
//   LobbyWnd     --Halls-->    HallWindow;  otherwise the program ends.
#pragma once

#include <QString>

namespace zrt {

class LoginWindow;

// After a sign-in: prepares the session layer and opens the hall selection screen. False keeps
// the login window open (its message has been shown).
bool HandOverToHalls(LoginWindow& login);

// Builds and shows the next hall selection screen.
void OpenHallWindow(const QString& gameDir);

// Builds and shows a new login window.
void OpenLoginWindow(const QString& gameDir);

// Builds the lobby screen in the hall just joined; on failure it closes again (and, being the
// last window, the program ends).
void OpenLobbyScreen(const QString& gameDir);

}  // namespace zrt
