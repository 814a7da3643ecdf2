// GroupActions: create, join, quit, invite and launch from the user-interface thread, each
// wait bounded by the session's server wait.
#include "lobby/session/group_actions.h"

#include "lobby/session/lobby_messages.h"

namespace zrt {

const char* groupResultText(GroupResult result) {
    switch (result) {
        case GroupResult::CannotConnect:
            return kCannotConnectText;
        case GroupResult::NoSavedGame:
            return kNoSavedGameText;
        case GroupResult::Sent:
        case GroupResult::Cancelled:
            break;
    }
    return nullptr;
}

GroupActions::GroupActions(LobbySession& session, SessionSender& sender, int waitMs)
    : session_(session), sender_(sender), waitMs_(waitMs) {}

bool GroupActions::RequestGroupId() {
    session_.groupIdEvent.reset();
    sender_.send(encodeGroupIdRequest());
    return session_.groupIdEvent.wait(waitMs_);
}

bool GroupActions::LeaveOwnGroup(bool wait) {
    const uint32_t group = ownGroupId();
    if (group != 0) {
        if (wait) {
            // A confirmation left over from an earlier, timed-out leave must not end this one.
            session_.leaveConfirmedEvent.reset();
            session_.leavePending = true;
        }
        sender_.send(encodeGroupLeave({session_.ownPlayerId, group}));
        if (wait) {
            const bool confirmed = session_.leaveConfirmedEvent.wait(waitMs_);
            session_.leavePending = false;
            if (!confirmed) return false;
        }
    }
    session_.savedGameChoice = -1;
    return true;
}

GroupResult GroupActions::CreateGroup(const NewGroup& group) {
    if (ownGroupId() != 0 && !LeaveOwnGroup(true)) return GroupResult::CannotConnect;
    if (!RequestGroupId()) return GroupResult::CannotConnect;
    session_.savedGameChoice = group.savedGameChoice;
    GroupCreatedMessage msg;
    msg.groupId = session_.grantedGroupId;
    msg.creator = session_.ownPlayerId;
    msg.inviteOnly = group.inviteOnly;
    msg.savedGame = group.savedGameChoice != -1;
    msg.capacity = group.capacity;
    msg.title = group.title;
    msg.launched = false;
    sender_.send(encodeGroupCreated(msg));
    return GroupResult::Sent;
}

GroupResult GroupActions::JoinGroup(size_t tablePosition, const SavedGameQuestion& question) {
    const std::optional<GroupEntry> group = session_.hall.groupAt(tablePosition);
    if (!group) return GroupResult::Cancelled;
    return join(group->id, group->savedGame, question);
}

GroupResult GroupActions::JoinGroupById(uint32_t groupId, const SavedGameQuestion& question) {
    bool savedGame = false;
    {
        auto hall = session_.hall.read();
        const int index = hall->groups.indexOf(groupId);
        if (index < 0) return GroupResult::Cancelled;
        savedGame = hall->groups[static_cast<size_t>(index)].savedGame;
    }
    return join(groupId, savedGame, question);
}

GroupResult GroupActions::join(uint32_t groupId, bool savedGame,
                               const SavedGameQuestion& question) {
    int choice = -1;
    if (savedGame) {
        if (question.localSavedGames == 0) return GroupResult::NoSavedGame;
        const std::optional<int> chosen = question.ask ? question.ask() : std::nullopt;
        if (!chosen) return GroupResult::Cancelled;
        choice = *chosen;
    }
    if (ownGroupId() != 0 && !LeaveOwnGroup(true)) return GroupResult::CannotConnect;
    session_.savedGameChoice = choice;
    sender_.send(encodeGroupJoin({session_.ownPlayerId, groupId}));
    return GroupResult::Sent;
}

GroupResult GroupActions::QuitGroup() {
    return LeaveOwnGroup(true) ? GroupResult::Sent : GroupResult::CannotConnect;
}

bool GroupActions::Invite(uint32_t playerId) {
    uint32_t group = 0;
    {
        auto hall = session_.hall.read();
        if (!hall->players.contains(playerId)) return false;
        group = hall->ownGroupId;
    }
    sender_.send(encodeInvite({session_.ownPlayerId, playerId, group}));
    return true;
}

std::optional<InvitationDetails> GroupActions::LookUpInvitation(uint32_t inviterId,
                                                                uint32_t groupId) const {
    auto hall = session_.hall.read();
    const PlayerEntry* inviter = hall->players.find(inviterId);
    const int index = hall->groups.indexOf(groupId);
    if (inviter == nullptr || index < 0) return std::nullopt;
    const GroupEntry& g = hall->groups[static_cast<size_t>(index)];
    return InvitationDetails{*inviter, static_cast<size_t>(index) + 1, g.title};
}

GroupResult GroupActions::ReplyToInvitation(uint32_t inviterId, uint32_t groupId, bool accept,
                                            const SavedGameQuestion& question) {
    sender_.send(encodeInviteReply({session_.ownPlayerId, inviterId, accept}));
    if (!accept) return GroupResult::Cancelled;
    return JoinGroupById(groupId, question);
}

std::optional<size_t> GroupActions::LaunchGroup() const {
    auto hall = session_.hall.read();
    if (!hall->isLaunchable()) return std::nullopt;
    return hall->ownGroupMemberCount();
}

}  // namespace zrt
