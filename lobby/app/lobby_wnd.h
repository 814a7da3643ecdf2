// LobbyWnd: the lobby screen, the frame of one stay in a hall. It owns the session pieces of
// the stay (sender, dispatcher, receiver thread, the own player's presence, group actions) and
// the panes: InfoView on the left, LobbyView on the right, ChatView across the bottom. The
// receiver reaches it only through posted events, which it hands to the pane or dialog they
// concern.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "lobby/app/lobby_session_ui.h"
#include "lobby/platform/ping_socket.h"
#include "lobby/session/group_actions.h"
#include "lobby/session/hall_presence.h"
#include "lobby/session/playnet_sender.h"
#include "lobby/session/session_dispatcher.h"
#include "lobby/session/session_receiver.h"
#include "lobby/ui/group_info_dialog.h"
#include "lobby/ui/lobby_context.h"

namespace zrt {

class ChatView;
class GifView;
class InfoView;
class LobbyConnection;
class LobbyView;

// The session state of the lobby client, process-wide (one stay in a hall at a time).
LobbySession& TheLobbySession();

class LobbyWnd : public QWidget {
    Q_OBJECT
  public:
    // The client area: 700 x 550 of panes inside a one-pixel frame.
    static constexpr int kClientWidth = 702;
    static constexpr int kClientHeight = 552;

    LobbyWnd(LobbyConnection& connection, const QString& gameDir);
    ~LobbyWnd() override;

    // Creates the own player in the joined hall and waits for the server's welcome. On failure
    // the message has been shown, the session closed, and the caller closes the window.
    bool EnterHall();

    // What closing does with the return flag set: build a new hall selection screen.
    void setBackToHalls(std::function<void()> hook) { backToHallsHook_ = std::move(hook); }

    bool returnToHalls() const { return returnToHalls_; }
    void setReturnToHalls(bool value) { returnToHalls_ = value; }

    LobbyContext& context() { return ctx_; }
    ChatView* chatView() const { return chat_; }
    InfoView* infoView() const { return info_; }
    LobbyView* lobbyView() const { return lobby_; }
    // The banner pane; null when no banner came at start-up.
    GifView* gifView() const { return gif_; }
    GroupInfoDialog* groupDialog() const { return groupDialog_; }

    // "ZRTH Lobby [ %d / %d ]" from the player count and the own group's member count.
    void Retitle();

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool handleSessionEvent(QEvent* event);
    // Closes the screen (which deletes it) once no dialog of it runs its own event loop further
    // up the stack: those still open are rejected, and the close waits for them to return.
    void closeWhenUnwound();
    void openPlayerInfo(uint32_t playerId);
    void showOwnGroup();
    void openGroupDialog();
    void showOwnWhisper(const QString& senderName, uint32_t senderId, const QString& text);
    // Routes a dialog's ping requests to the socket and the results back to the dialog.
    template <class Dialog>
    void connectPings(Dialog* dialog);
    void pingFinished(QObject* window, uint32_t tag, bool answered, double seconds);

    // The game launch (lobby_wnd_launch.cpp): the host's, on the launch event of the groups
    // pane, and a member's, when the host has launched the own group. Both end the stay.
    void hostLaunch(size_t memberCount);
    void memberLaunch(const std::string& hostAddress);
    void storeLaunchSettings();

    LobbyConnection& connection_;
    LobbySession& session_;
    LobbyContext ctx_;
    PingSocket ping_;
    // Declared in the order they are built; destroyed in reverse (presence before receiver).
    LobbySessionUi ui_;
    PlaynetSender sender_;
    SessionDispatcher dispatcher_;
    SessionReceiver receiver_;
    HallPresence presence_;
    GroupActions groups_;

    InfoView* info_ = nullptr;
    LobbyView* lobby_ = nullptr;
    GifView* gif_ = nullptr;
    ChatView* chat_ = nullptr;
    QPointer<GroupInfoDialog> groupDialog_;
    bool returnToHalls_ = false;
    bool closing_ = false;
    bool launching_ = false;  // the launch waits for the game: the window must not close
    std::function<void()> backToHallsHook_;
};

}  // namespace zrt
