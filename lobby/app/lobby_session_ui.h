// LobbySessionUi: the session receiver's view of the user interface. Every call posts an event
// to the lobby frame and returns at once; the frame applies it on the user-interface thread.
#pragma once

#include <QWidget>

#include "lobby/platform/app_events.h"
#include "lobby/session/session_ui.h"

namespace zrt {

class LobbySessionUi : public SessionUi {
  public:
    explicit LobbySessionUi(QWidget* lobbyWnd) : target_(lobbyWnd) {}

    void playerLineAdded(uint32_t playerId, const std::string& line) override;
    void playerLineDeleted(uint32_t playerId) override;
    void chatLine(ChatTarget target, uint32_t senderId, const std::string& senderName,
                  const std::string& text, bool whisper) override;
    void lobbyStatus() override;
    void invitation(uint32_t inviterId, uint32_t groupId) override;
    void inviteReply(uint32_t playerId, bool accepted) override;
    void news(const std::string& text) override;
    void memberLaunch(const std::string& hostAddress) override;
    void groupDialogMemberJoined(uint32_t playerId) override;
    void groupDialogMemberLeft(uint32_t playerId) override;
    void groupDialogClose() override;
    void sessionError(const std::string& text) override;
    void refreshGroups(bool tableChanged) override;
    void repaintTopPanel() override;
    void repaintPlayerList() override;

  private:
    void post(AppEvent* event);

    QWidget* target_;
};

}  // namespace zrt
