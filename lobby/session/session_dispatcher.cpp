// SessionDispatcher: the welcome handshake, players, chat, state end, group ids, invitations,
// news, launch, system messages and the refresh flush. Group messages are in group_dispatch.cpp.
#include "lobby/session/session_dispatcher.h"

#include <algorithm>
#include <utility>

#include "lobby/session/lobby_messages.h"
#include "playnet/system_messages.h"

namespace zrt {

SessionDispatcher::SessionDispatcher(LobbySession& session, SessionSender& sender, SessionUi& ui)
    : session_(session), sender_(sender), ui_(ui) {}

DispatchResult SessionDispatcher::DispatchMessage(const uint8_t* data, size_t size) {
    const std::optional<uint32_t> code = messageCode(data, size);
    if (!code) return DispatchResult::Continue;
    Outbox out;
    DispatchResult result = DispatchResult::Continue;
    switch (*code) {
        case MSG_WELCOME:
            onWelcome(data, size, out);
            break;
        case MSG_CHAT:
            onChat(data, size, out);
            break;
        case MSG_LAUNCH:
            result = onLaunch(data, size, out);
            break;
        case MSG_PLAYER_INFO:
            onPlayerInfo(data, size, out);
            break;
        case MSG_PLAYER_LEFT:
            result = onPlayerLeft(data, size, out);
            break;
        case MSG_GROUP_CREATED:
            onGroupCreated(data, size, out);
            break;
        case MSG_GROUP_REMOVED:
            onGroupRemoved(data, size, out);
            break;
        case MSG_GROUP_JOIN:
            onGroupJoin(data, size, out);
            break;
        case MSG_GROUP_LEAVE:
            onGroupLeave(data, size, out);
            break;
        case MSG_STATE_END:
            onStateEnd(out);
            break;
        case MSG_GROUP_ID:
            onGroupId(data, size, out);
            break;
        case MSG_INVITE:
            onInvite(data, size, out);
            break;
        case MSG_INVITE_REPLY:
            onInviteReply(data, size, out);
            break;
        case MSG_NEWS:
            onNews(data, size, out);
            break;
        default:
            break;  // MSG_STATE_REQUEST and unknown codes
    }
    // The lock is released here: sends, UI calls and events run in the order they arose.
    for (auto& action : out) action();
    return result;
}

DispatchResult SessionDispatcher::DispatchSystemMessage(uint32_t type) {
    // Of the system messages only the lost session matters: it ends the stay in the hall.
    if (type != playnet::kSysSessionLost) return DispatchResult::Continue;
    ui_.sessionError(kSessionLostText);
    return DispatchResult::Stop;
}

void SessionDispatcher::FlushRefresh() {
    const RefreshRequests pending = refresh_;
    refresh_.clear();
    if (pending.groups != RefreshRequests::kNone) {
        ui_.refreshGroups(pending.groups == RefreshRequests::kTableChanged);
    }
    if (pending.topPanel) ui_.repaintTopPanel();
    if (pending.playerList) ui_.repaintPlayerList();
}

void SessionDispatcher::send(Outbox& out, std::vector<uint8_t> message) {
    out.push_back([this, m = std::move(message)] { sender_.send(m); });
}

void SessionDispatcher::addPlayerLine(const PlayerEntry& player, Outbox& out) {
    listedPlayers_.push_back(player.id);
    out.push_back(
        [this, id = player.id, line = playerListLine(player)] { ui_.playerLineAdded(id, line); });
}

void SessionDispatcher::statusIfMinimised(Outbox& out) {
    if (session_.minimised) out.push_back([this] { ui_.lobbyStatus(); });
}

// The first welcome names the server player: ask for the hall's state and announce the own
// player. The own player is entry 0 of the PlayerTable. A later welcome, or one naming player
// 0 (which would read as "not welcomed"), has no effect.
void SessionDispatcher::onWelcome(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<uint32_t> server = decodeWelcome(data, size);
    if (!server || *server == 0) return;
    auto hall = session_.hall.write();
    if (session_.serverPlayerId != 0) return;
    session_.serverPlayerId = *server;
    out.push_back([this] { session_.welcomeEvent.set(); });
    hall->snapshot = true;
    session_.leavePending = false;
    send(out, encodeStateRequest());
    PlayerEntry own = hall->ownProfile;
    own.id = session_.ownPlayerId;
    own.ping = -1.0f;
    hall->players.append(own);
    send(out, encodePlayerInfo(own));
}

// A line from a blocked or unknown sender shows nowhere. A whisper between two members of the
// open group dialog also goes to the dialog's chat list.
void SessionDispatcher::onChat(const uint8_t* data, size_t size, Outbox& out) {
    std::optional<ChatMessage> chat = decodeChat(data, size);
    if (!chat) return;
    auto hall = session_.hall.write();
    if (hall->blocked.contains(chat->sender)) return;
    const PlayerEntry* sender = hall->players.find(chat->sender);
    if (sender == nullptr) return;
    const bool whisper = chat->target != 0;
    const bool toDialog = whisper && hall->groupDialog.open &&
                          hall->groupDialog.hasMember(chat->sender) &&
                          hall->groupDialog.hasMember(chat->target);
    out.push_back(
        [this, id = chat->sender, name = sender->name, text = chat->text, whisper, toDialog] {
            ui_.chatLine(ChatTarget::ChatList, id, name, text, whisper);
            if (toDialog) ui_.chatLine(ChatTarget::GroupDialog, id, name, text, whisper);
        });
}

// The own group's host launched: a member joins the game at the host's address and the
// receiver ends. Any other launch marks the group launched and highlights its members.
DispatchResult SessionDispatcher::onLaunch(const uint8_t* data, size_t size, Outbox& out) {
    std::optional<LaunchMessage> launch = decodeLaunch(data, size);
    if (!launch) return DispatchResult::Continue;
    auto hall = session_.hall.write();
    if (hall->ownGroupId != 0 && launch->groupId == hall->ownGroupId && !hall->host) {
        out.push_back([this, address = launch->hostAddress] { ui_.memberLaunch(address); });
        return DispatchResult::Stop;
    }
    for (size_t i = 0; i < hall->groups.size(); ++i) {
        GroupEntry& g = hall->groups[i];
        if (g.id != launch->groupId) continue;
        g.launched = true;
        refresh_.requestGroups(RefreshRequests::kRepaint);
        for (uint32_t member : g.members) {
            if (const PlayerEntry* p = hall->players.find(member)) {
                hall->inGameNames.insert(p->name);
                refresh_.playerList = true;
            }
        }
    }
    return DispatchResult::Continue;
}

// A player announces himself. He leaves any group first (a re-announced player starts over).
// The own player and players already listed are not added again; a full table refuses him.
void SessionDispatcher::onPlayerInfo(const uint8_t* data, size_t size, Outbox& out) {
    std::optional<PlayerEntry> player = decodePlayerInfo(data, size);
    if (!player) return;
    auto hall = session_.hall.write();
    removeFromEveryGroup(*hall, player->id, out);
    if (player->id == session_.ownPlayerId || hall->players.contains(player->id)) return;
    player->ping = -1.0f;
    if (!hall->players.append(*player)) return;
    if (hall->snapshot) return;
    addPlayerLine(*player, out);
    refresh_.topPanel = true;
    statusIfMinimised(out);
}

// A player left the hall. Our own id here means another login took our name over.
DispatchResult SessionDispatcher::onPlayerLeft(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<uint32_t> id = decodePlayerLeft(data, size);
    if (!id) return DispatchResult::Continue;
    if (*id == session_.ownPlayerId) {
        out.push_back([this] { ui_.sessionError(kNameTakenText); });
        return DispatchResult::Stop;
    }
    auto hall = session_.hall.write();
    removeFromEveryGroup(*hall, *id, out);
    if (const PlayerEntry* p = hall->players.find(*id)) {
        hall->inGameNames.remove(p->name);
        hall->players.remove(*id);
    }
    auto line = std::find(listedPlayers_.begin(), listedPlayers_.end(), *id);
    if (line == listedPlayers_.end()) return DispatchResult::Continue;
    listedPlayers_.erase(line);
    out.push_back([this, id = *id] { ui_.playerLineDeleted(id); });
    refresh_.topPanel = true;
    statusIfMinimised(out);
    return DispatchResult::Continue;
}

// The snapshot is complete: list every player but the own one (entry 0) in one pass. A player
// that already has a line (announced before the welcome) is not listed twice.
void SessionDispatcher::onStateEnd(Outbox& out) {
    auto hall = session_.hall.write();
    if (!hall->snapshot) return;
    hall->snapshot = false;
    for (const PlayerEntry& p : hall->players.entries()) {
        if (p.id == session_.ownPlayerId) continue;
        if (std::find(listedPlayers_.begin(), listedPlayers_.end(), p.id) != listedPlayers_.end()) {
            continue;
        }
        addPlayerLine(p, out);
    }
    refresh_.topPanel = true;
    refresh_.requestGroups(RefreshRequests::kTableChanged);
    out.push_back([this] { ui_.lobbyStatus(); });
}

// The server never grants group id 0 (it reads as "no group"); such a reply is not a grant.
void SessionDispatcher::onGroupId(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<uint32_t> id = decodeGroupIdReply(data, size);
    if (!id || *id == 0) return;
    session_.grantedGroupId = *id;
    out.push_back([this] { session_.groupIdEvent.set(); });
}

void SessionDispatcher::onInvite(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<InviteMessage> invite = decodeInvite(data, size);
    if (!invite) return;
    if (session_.hall.read()->blocked.contains(invite->inviter)) return;
    out.push_back(
        [this, from = invite->inviter, group = invite->groupId] { ui_.invitation(from, group); });
}

void SessionDispatcher::onInviteReply(const uint8_t* data, size_t size, Outbox& out) {
    const std::optional<InviteReplyMessage> reply = decodeInviteReply(data, size);
    if (!reply) return;
    out.push_back([this, from = reply->answering, accepted = reply->accepted] {
        ui_.inviteReply(from, accepted);
    });
}

void SessionDispatcher::onNews(const uint8_t* data, size_t size, Outbox& out) {
    std::optional<std::string> text = decodeNews(data, size);
    if (!text) return;
    out.push_back([this, t = std::move(*text)] { ui_.news(t); });
}

}  // namespace zrt
