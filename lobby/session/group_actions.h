// GroupActions: what the user-interface thread does to create, join, quit and launch groups
// and to invite players. Every change travels to the server and takes effect when its echo
// comes back through the dispatcher; these operations only send and wait (bounded) for the
// events the dispatcher sets. Failures come back as results whose texts the UI shows in the
// error box.
//
// Thread: user interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "lobby/session/hall_state.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_ui.h"

namespace zrt {

inline constexpr const char* kCannotConnectText =
    "Cannot Connect to the Server.\nPlease try later.";
inline constexpr const char* kNoSavedGameText =
    "This group plays a saved game.\nYou don't have any local saved game.";

enum class GroupResult {
    Sent,           // the request went to the server
    Cancelled,      // the user cancelled the saved-game question, or there was nothing to do
    CannotConnect,  // no answer within the wait: kCannotConnectText
    NoSavedGame,    // a saved-game group and no local saved game: kNoSavedGameText
};

// The error box text of a result, or nullptr when there is nothing to show.
const char* groupResultText(GroupResult result);

// The saved-game question for joining a group that continues a saved game.
struct SavedGameQuestion {
    size_t localSavedGames = 0;  // entries of the local saved-game list
    // Asks the user to choose one; nullopt when cancelled.
    std::function<std::optional<int>()> ask;
};

// The settings of the group creation dialog.
struct NewGroup {
    bool inviteOnly = false;
    int savedGameChoice = -1;  // index into the local saved games, -1 for a new game
    uint32_t capacity = 255;   // 2..7, or 255 when the player count is not set
    std::string title{};
};

// What the invitation dialog shows, when the invitation is still valid.
struct InvitationDetails {
    PlayerEntry inviter;
    size_t groupNumber = 0;  // table position + 1
    std::string title{};
};

class GroupActions {
  public:
    GroupActions(LobbySession& session, SessionSender& sender, int waitMs = kServerWaitMs);

    // Asks the server for a new group id and waits for it; true when it came (the id is then
    // in the session's grantedGroupId).
    bool RequestGroupId();
    // Leaves the own group. Waiting: true when the server confirmed in time (false leaves the
    // saved-game choice as it was). Not waiting, or in no group: true at once. A true result
    // resets the saved-game choice to -1.
    bool LeaveOwnGroup(bool wait);
    // Leaves the old group, gets an id and sends the new group.
    GroupResult CreateGroup(const NewGroup& group);
    // Joins the group at a table position (join button).
    GroupResult JoinGroup(size_t tablePosition, const SavedGameQuestion& question);
    // Joins a group by id (an accepted invitation).
    GroupResult JoinGroupById(uint32_t groupId, const SavedGameQuestion& question);
    GroupResult QuitGroup();

    // Invites a player into the own group; false when he is no longer in the hall.
    bool Invite(uint32_t playerId);
    // The invitation dialog's details: nullopt when the inviter left or the group is gone.
    std::optional<InvitationDetails> LookUpInvitation(uint32_t inviterId, uint32_t groupId) const;
    // Answers an invitation. An acceptance then joins the group.
    GroupResult ReplyToInvitation(uint32_t inviterId, uint32_t groupId, bool accept,
                                  const SavedGameQuestion& question);

    // The launch: the own group's member count when the own player is host of a launchable
    // group, nullopt otherwise.
    std::optional<size_t> LaunchGroup() const;

  private:
    GroupResult join(uint32_t groupId, bool savedGame, const SavedGameQuestion& question);
    uint32_t ownGroupId() const { return session_.hall.read()->ownGroupId; }

    LobbySession& session_;
    SessionSender& sender_;
    int waitMs_;
};

}  // namespace zrt
