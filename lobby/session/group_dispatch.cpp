// SessionDispatcher, group side: group created, removed, joined and left, and the member
// removal with host succession that every placement of a player starts with.
#include "lobby/session/lobby_messages.h"
#include "lobby/session/session_dispatcher.h"

namespace zrt {

bool SessionDispatcher::RemoveFromGroups(HallTables& hall, uint32_t player, Outbox& out) {
    const uint32_t own = session_.ownPlayerId;
    for (size_t i = 0; i < hall.groups.size(); ++i) {
        GroupEntry& g = hall.groups[i];
        if (!g.removeMember(player)) continue;
        refresh_.requestGroups(RefreshRequests::kRepaint);
        if (static_cast<int>(i) == hall.groups.ownIndex()) {
            if (player == own) {
                hall.ownGroupId = 0;
                hall.host = false;
                hall.groups.setOwnIndex(-1);
                if (hall.groupDialog.open) {
                    hall.groupDialog = GroupDialogMirror{};
                    out.push_back([this] { ui_.groupDialogClose(); });
                }
            } else {
                if (!g.members.empty() && g.members[0] == own) hall.host = true;
                if (hall.groupDialog.open) {
                    std::erase(hall.groupDialog.members, player);
                    out.push_back([this, player] { ui_.groupDialogMemberLeft(player); });
                }
            }
            if (!hall.snapshot) out.push_back([this] { ui_.lobbyStatus(); });
        }
        if (g.members.empty()) {
            hall.groups.removeAt(i);
            if (!hall.snapshot) refresh_.requestGroups(RefreshRequests::kTableChanged);
        }
        return true;
    }
    return false;
}

void SessionDispatcher::removeFromEveryGroup(HallTables& hall, uint32_t player, Outbox& out) {
    while (RemoveFromGroups(hall, player, out)) {
    }
}

// A new group with its creator as first member and host. A creator missing from the
// PlayerTable, group id 0 (it reads as "no group") and a full GroupTable drop the record.
void SessionDispatcher::onGroupCreated(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<GroupCreatedMessage> msg = decodeGroupCreated(data, size);
    if (!msg) return;
    auto hall = session_.hall.write();
    removeFromEveryGroup(*hall, msg->creator, out);
    const PlayerEntry* creator = hall->players.find(msg->creator);
    if (creator == nullptr || msg->groupId == 0) return;
    GroupEntry entry;
    entry.id = msg->groupId;
    entry.title = msg->title;
    entry.inviteOnly = msg->inviteOnly;
    entry.savedGame = msg->savedGame;
    entry.capacity = msg->capacity;
    entry.members = {msg->creator};
    entry.launched = msg->launched;
    if (!hall->groups.append(entry)) return;
    if (entry.launched) {
        hall->inGameNames.insert(creator->name);
        if (!hall->snapshot) refresh_.playerList = true;
    }
    if (msg->creator == session_.ownPlayerId) {
        hall->ownGroupId = entry.id;
        hall->host = true;
        hall->groups.setOwnIndex(static_cast<int>(hall->groups.size()) - 1);
        if (!hall->snapshot) out.push_back([this] { ui_.lobbyStatus(); });
    }
    if (!hall->snapshot) refresh_.requestGroups(RefreshRequests::kTableChanged);
}

// The server dropped a group. When it is ours we are in no group any more; a waited leave
// ends on it.
void SessionDispatcher::onGroupRemoved(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<uint32_t> id = decodeGroupRemoved(data, size);
    if (!id) return;
    auto hall = session_.hall.write();
    if (hall->ownGroupId != 0 && *id == hall->ownGroupId) {
        hall->ownGroupId = 0;
        hall->host = false;
        hall->groups.setOwnIndex(-1);
        if (session_.leavePending) out.push_back([this] { session_.leaveConfirmedEvent.set(); });
        out.push_back([this] { ui_.lobbyStatus(); });
        if (hall->groupDialog.open) {
            hall->groupDialog = GroupDialogMirror{};
            out.push_back([this] { ui_.groupDialogClose(); });
        }
    }
    const int index = hall->groups.indexOf(*id);
    if (index >= 0) hall->groups.removeAt(static_cast<size_t>(index));
    refresh_.requestGroups(RefreshRequests::kTableChanged);
}

// A player joins a group (leaving any other first). A full or missing group, or a player
// missing from the PlayerTable, changes nothing more. A launched group takes members only
// while the snapshot loads (its members are then highlighted).
void SessionDispatcher::onGroupJoin(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<GroupMembershipMessage> msg = decodeGroupMembership(data, size);
    if (!msg) return;
    auto hall = session_.hall.write();
    removeFromEveryGroup(*hall, msg->player, out);
    const PlayerEntry* player = hall->players.find(msg->player);
    if (player == nullptr) return;
    const int index = hall->groups.indexOf(msg->groupId);
    if (index >= 0 && hall->groups[static_cast<size_t>(index)].hasRoom()) {
        GroupEntry& g = hall->groups[static_cast<size_t>(index)];
        if (!g.launched || hall->snapshot) {
            if (g.launched) hall->inGameNames.insert(player->name);
            g.members.push_back(msg->player);
            if (msg->player == session_.ownPlayerId) {
                hall->ownGroupId = g.id;
                hall->groups.setOwnIndex(index);
                hall->host = g.members.size() == 1;
                if (!hall->snapshot) out.push_back([this] { ui_.lobbyStatus(); });
            } else if (index == hall->groups.ownIndex() && !hall->snapshot) {
                out.push_back([this] { ui_.lobbyStatus(); });
                if (hall->groupDialog.open && hall->groupDialog.members.size() < kMaxMembers) {
                    hall->groupDialog.members.push_back(msg->player);
                    out.push_back([this, id = msg->player] { ui_.groupDialogMemberJoined(id); });
                }
            }
        }
    }
    if (!hall->snapshot) refresh_.requestGroups(RefreshRequests::kRepaint);
}

// The echo of a leave. Our own echo ends a waited leave; then the player leaves every group.
void SessionDispatcher::onGroupLeave(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<GroupMembershipMessage> msg = decodeGroupMembership(data, size);
    if (!msg) return;
    auto hall = session_.hall.write();
    if (msg->player == session_.ownPlayerId && hall->ownGroupId != 0 &&
        msg->groupId == hall->ownGroupId && session_.leavePending) {
        out.push_back([this] { session_.leaveConfirmedEvent.set(); });
    }
    removeFromEveryGroup(*hall, msg->player, out);
}

}  // namespace zrt
