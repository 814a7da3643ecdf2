// The succession of main windows.
#include "lobby/app/succession.h"

#include <malloc.h>

#include <QApplication>
#include <QTimer>

#include "lobby/app/lobby_wnd.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_lists.h"
#include "lobby/session/lobby_connection.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/hall_window.h"
#include "lobby/ui/login_window.h"

namespace zrt {
namespace {

// How long after entering a hall the lobby returns the earlier screens' freed heap.
constexpr int kTrimAfterEntryMs = 3000;

// The wait cursor while a successor is built.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

bool HandOverToHalls(LoginWindow& login) {
    LobbyConnection& connection = TheLobbyConnection();
    connection.CreateDirectPlay();
    if (!connection.ConnectToLobbyServer(Process().serverAddress)) {
        ErrorBox::Show(&login, "Cannot initialize DirectPlay connection");
        return false;
    }
    OpenHallWindow(login.gameDir());
    return true;
}

void OpenHallWindow(const QString& gameDir) {
    WaitCursor wait;
    auto* halls = new HallWindow(TheLobbyConnection());
    halls->setAttribute(Qt::WA_DeleteOnClose);
    halls->setEnterHall([gameDir] { OpenLobbyScreen(gameDir); });
    halls->setBackToLogin([gameDir] { OpenLoginWindow(gameDir); });
    halls->Start();
    halls->show();
}

void OpenLoginWindow(const QString& gameDir) {
    WaitCursor wait;
    auto* login = new LoginWindow(gameDir);
    login->setAttribute(Qt::WA_DeleteOnClose);
    login->setHandOver(HandOverToHalls);
    login->show();
}

void OpenLobbyScreen(const QString& gameDir) {
    auto* lobby = new LobbyWnd(TheLobbyConnection(), gameDir);
    lobby->setAttribute(Qt::WA_DeleteOnClose);
    lobby->setBackToHalls([gameDir] { OpenHallWindow(gameDir); });
    lobby->show();
    bool entered;
    {
        WaitCursor wait;
        entered = lobby->EnterHall();
    }
    if (!entered) {
        // Closing it with the return flag clear ends the program, as a failed entry should.
        QTimer::singleShot(0, lobby, &QWidget::close);
        return;
    }
    // The screens before it are gone once the hall has settled: give the heap they freed
    // (their pictures, the hall list) back to the system instead of keeping it for later.
    QTimer::singleShot(kTrimAfterEntryMs, lobby, [] { malloc_trim(0); });
}

}  // namespace zrt
