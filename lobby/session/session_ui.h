// The two interfaces through which the session logic talks to the rest of the program:
// SessionSender carries a message to the server player (the caller wires it to playnet), and
// SessionUi receives what the user interface must show.
//
// Threads: the dispatcher calls SessionUi on the session receiver thread. An implementation
// only posts to the user-interface thread and returns; it never blocks on that thread and
// never calls back into the dispatcher. The dispatcher calls it without holding the hall lock,
// so an implementation may read the HallState.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zrt {

class SessionSender {
  public:
    virtual ~SessionSender() = default;
    // Sends one lobby message from the own player to the server player, with the delivery the
    // message table gives its code.
    virtual void send(const std::vector<uint8_t>& message) = 0;
};

// Where a chat line goes: the hall's chat list, or the chat list of the open group dialog.
enum class ChatTarget { ChatList, GroupDialog };

// Texts of the error box raised by the dispatcher; the lobby screen closes after it.
inline constexpr const char* kSessionLostText = "Connection with Lobby Server has Lost";
inline constexpr const char* kNameTakenText = "Another player has used your name !";

class SessionUi {
  public:
    virtual ~SessionUi() = default;

    // The player list: add a line ("%s\t%d", name and score) with the player id as item data,
    // or delete the first line whose item data is the id.
    virtual void playerLineAdded(uint32_t playerId, const std::string& line) = 0;
    virtual void playerLineDeleted(uint32_t playerId) = 0;

    // A chat line to output (sender known in the PlayerTable; its name given for the first
    // column). `whisper` selects the "~  %s" form.
    virtual void chatLine(ChatTarget target, uint32_t senderId, const std::string& senderName,
                          const std::string& text, bool whisper) = 0;

    // WM_LOBBY_STATUS: retitle the lobby window (player count, own group's member count).
    virtual void lobbyStatus() = 0;
    // WM_LOBBY_INVITATION: an invitation from `inviterId` into group `groupId`.
    virtual void invitation(uint32_t inviterId, uint32_t groupId) = 0;
    // WM_LOBBY_INVITE_REPLY: the invited player's answer.
    virtual void inviteReply(uint32_t playerId, bool accepted) = 0;
    // WM_LOBBY_NEWS: a text for the news box (at most 4095 characters).
    virtual void news(const std::string& text) = 0;
    // WM_LOBBY_MEMBER_LAUNCH: the host of the own group launched; join its game at the address.
    // The receiver stops after this.
    virtual void memberLaunch(const std::string& hostAddress) = 0;

    // The open group dialog: a member joined or left, or the dialog must close (the own
    // player left the group or the group was removed; the session forgets the dialog).
    virtual void groupDialogMemberJoined(uint32_t playerId) = 0;
    virtual void groupDialogMemberLeft(uint32_t playerId) = 0;
    virtual void groupDialogClose() = 0;

    // Show the error box with `text`, then close the lobby screen. The receiver stops after it.
    virtual void sessionError(const std::string& text) = 0;

    // Coalesced refreshes, flushed after 100 ms without messages.
    // WM_GROUPS_REFRESH: tableChanged = the GroupTable changed (recompute the scroll height).
    virtual void refreshGroups(bool tableChanged) = 0;
    virtual void repaintTopPanel() = 0;
    virtual void repaintPlayerList() = 0;
};

}  // namespace zrt
