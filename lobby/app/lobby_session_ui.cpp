// Posting the receiver's changes to the lobby frame.
#include "lobby/app/lobby_session_ui.h"

#include "lobby/app/session_events.h"

namespace zrt {

void LobbySessionUi::post(AppEvent* event) {
    PostAppEvent(target_, event);
}

void LobbySessionUi::playerLineAdded(uint32_t playerId, const std::string& line) {
    auto* e = new AppEvent(kEvPlayerLineAdded, playerId);
    e->text = line;
    post(e);
}

void LobbySessionUi::playerLineDeleted(uint32_t playerId) {
    post(new AppEvent(kEvPlayerLineDeleted, playerId));
}

void LobbySessionUi::chatLine(ChatTarget target, uint32_t senderId, const std::string& senderName,
                              const std::string& text, bool whisper) {
    intptr_t flags = (whisper ? 1 : 0) | (target == ChatTarget::GroupDialog ? 2 : 0);
    auto* e = new AppEvent(kEvChatLine, senderId, flags);
    e->text = senderName;
    e->data.assign(text.begin(), text.end());
    post(e);
}

void LobbySessionUi::lobbyStatus() {
    post(new AppEvent(WM_LOBBY_STATUS));
}

void LobbySessionUi::invitation(uint32_t inviterId, uint32_t groupId) {
    post(new AppEvent(WM_LOBBY_INVITATION, inviterId, groupId));
}

void LobbySessionUi::inviteReply(uint32_t playerId, bool accepted) {
    post(new AppEvent(WM_LOBBY_INVITE_REPLY, playerId, accepted ? 1 : 0));
}

void LobbySessionUi::news(const std::string& text) {
    auto* e = new AppEvent(WM_LOBBY_NEWS);
    e->text = text;
    post(e);
}

void LobbySessionUi::memberLaunch(const std::string& hostAddress) {
    auto* e = new AppEvent(WM_LOBBY_MEMBER_LAUNCH);
    e->text = hostAddress;
    post(e);
}

void LobbySessionUi::groupDialogMemberJoined(uint32_t playerId) {
    post(new AppEvent(kEvGroupDialogJoined, playerId));
}

void LobbySessionUi::groupDialogMemberLeft(uint32_t playerId) {
    post(new AppEvent(kEvGroupDialogLeft, playerId));
}

void LobbySessionUi::groupDialogClose() {
    post(new AppEvent(kEvGroupDialogClose));
}

void LobbySessionUi::sessionError(const std::string& text) {
    auto* e = new AppEvent(kEvSessionError);
    e->text = text;
    post(e);
}

void LobbySessionUi::refreshGroups(bool tableChanged) {
    post(new AppEvent(kEvGroupsRefresh, tableChanged ? 1 : 0));
}

void LobbySessionUi::repaintTopPanel() {
    post(new AppEvent(kEvRepaintTopPanel));
}

void LobbySessionUi::repaintPlayerList() {
    post(new AppEvent(kEvRepaintPlayerList));
}

}  // namespace zrt
