// Hall: what the server does with each message a client sends. Every handler first checks
// that the client speaks for its own player, then the rules; only then do the records change
// and the relay go out, so that each client's tables end as the server's.
#include <algorithm>

#include "server/hall.h"
#include "server/log.h"
#include "server/login_policy.h"

namespace zrtserver {

namespace {
constexpr const char* kSpoofed = "names another player as its sender";

bool validCapacity(uint32_t capacity) {
    return (capacity >= 2 && capacity <= zrt::kMaxMembers) || capacity == zrt::kCapacityNotSet;
}
}  // namespace

void Hall::onPlayerInfo(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::PlayerEntry> info = zrt::decodePlayerInfo(data, size);
    if (!info) return drop(p, zrt::MSG_PLAYER_INFO, "shorter than its fields");
    if (info->id != p.id) return drop(p, zrt::MSG_PLAYER_INFO, kSpoofed);
    if (p.announced) return drop(p, zrt::MSG_PLAYER_INFO, "announced already");
    if (order_.size() >= kMaxHallPlayers) return drop(p, zrt::MSG_PLAYER_INFO, "hall full");
    if (!isValidLoginName(info->name))
        return cutOff(
            p, "announced a name the login rules do not allow: \"" + printable(info->name) + "\"",
            out);
    if (shared_.signIns && !shared_.signIns->vouches(info->name, p.address))
        return cutOff(p,
                      "announced \"" + info->name + "\", which has not signed in from " +
                          p.address + " lately",
                      out);
    // The others ping this address and join its games: it is the one the server can vouch
    // for, its connection's, not whatever the client wrote (behind address translation that
    // would be a private address nobody else can reach).
    info->address = p.address;
    info->ping = -1.0f;
    p.info = *info;
    p.announced = true;
    order_.push_back(p.id);
    out.sends.push_back({Outgoing::To::Others, p.id, zrt::encodePlayerInfo(p.info)});
    out.announced = p.info.name;
    log(who(p) + " joined from " + printable(p.info.address) + " (" +
        std::to_string(order_.size()) + " present)");
}

void Hall::onGroupCreated(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::GroupCreatedMessage> m = zrt::decodeGroupCreated(data, size);
    if (!m) return drop(p, zrt::MSG_GROUP_CREATED, "shorter than its fields");
    if (m->creator != p.id) return drop(p, zrt::MSG_GROUP_CREATED, kSpoofed);
    auto granted = std::find(p.grantedIds.begin(), p.grantedIds.end(), m->groupId);
    if (m->groupId == 0 || granted == p.grantedIds.end())
        return drop(p, zrt::MSG_GROUP_CREATED, "a group id not granted to it");
    if (!validCapacity(m->capacity))
        return drop(p, zrt::MSG_GROUP_CREATED, "capacity " + std::to_string(m->capacity));
    if (m->launched) return drop(p, zrt::MSG_GROUP_CREATED, "a new group cannot be launched");
    // Its old group first, as the clients do on this message.
    leaveGroup(p.id, out);
    if (groups_.size() >= HallGroups::kCapacity)
        return drop(p, zrt::MSG_GROUP_CREATED, "the hall holds its maximum of groups");
    p.grantedIds.erase(granted);
    zrt::GroupEntry g;
    g.id = m->groupId;
    g.title = m->title;
    g.inviteOnly = m->inviteOnly;
    g.savedGame = m->savedGame;
    g.capacity = m->capacity;
    g.members = {p.id};
    groups_.create(g);
    out.sends.push_back({Outgoing::To::All, 0, zrt::encodeGroupCreated(*m)});
    log("group " + std::to_string(g.id) + " \"" + printable(g.title) + "\" created by " + who(p) +
        " (" + std::to_string(groups_.size()) + " groups)");
}

void Hall::onGroupJoin(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::GroupMembershipMessage> m = zrt::decodeGroupMembership(data, size);
    if (!m) return drop(p, zrt::MSG_GROUP_JOIN, "shorter than its fields");
    if (m->player != p.id) return drop(p, zrt::MSG_GROUP_JOIN, kSpoofed);
    HallGroups::JoinRefusal refusal = groups_.canJoin(p.id, m->groupId);
    if (refusal != HallGroups::JoinRefusal::None) {
        log(who(p) + " cannot join group " + std::to_string(m->groupId) + ": " +
            joinRefusalText(refusal));
        return;
    }
    leaveGroup(p.id, out);
    groups_.join(p.id, m->groupId);
    out.sends.push_back({Outgoing::To::All, 0, zrt::encodeGroupJoin(*m)});
    log(who(p) + " joined group " + std::to_string(m->groupId));
}

void Hall::onGroupLeave(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::GroupMembershipMessage> m = zrt::decodeGroupMembership(data, size);
    if (!m) return drop(p, zrt::MSG_GROUP_LEAVE, "shorter than its fields");
    if (m->player != p.id) return drop(p, zrt::MSG_GROUP_LEAVE, kSpoofed);
    const zrt::GroupEntry* g = groups_.groupOf(p.id);
    if (!g) {
        // In no group: nothing changes for anyone, but the sender waits for its echo.
        out.sends.push_back({Outgoing::To::One, p.id, zrt::encodeGroupLeave(*m)});
        return;
    }
    // The clients take the player out of whatever group he is in; the relay names that one.
    zrt::GroupMembershipMessage leave{p.id, g->id};
    out.sends.push_back({Outgoing::To::All, 0, zrt::encodeGroupLeave(leave)});
    log(who(p) + " left group " + std::to_string(leave.groupId));
    leaveGroup(p.id, out);
}

void Hall::onLaunch(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::LaunchMessage> m = zrt::decodeLaunch(data, size);
    if (!m) return drop(p, zrt::MSG_LAUNCH, "shorter than its fields");
    const zrt::GroupEntry* g = groups_.find(m->groupId);
    if (!g) return drop(p, zrt::MSG_LAUNCH, "no such group");
    if (g->members.front() != p.id) return drop(p, zrt::MSG_LAUNCH, "not the group's host");
    if (g->launched) return drop(p, zrt::MSG_LAUNCH, "launched already");
    // The members' games connect to the host's own address, not to one it names.
    m->hostAddress = p.info.address;
    groups_.markLaunched(g->id);
    out.sends.push_back({Outgoing::To::Others, p.id, zrt::encodeLaunch(*m)});
    log("group " + std::to_string(m->groupId) + " launched by " + who(p) + " at " +
        printable(m->hostAddress));
}

void Hall::onChat(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::ChatMessage> m = zrt::decodeChat(data, size);
    if (!m) return drop(p, zrt::MSG_CHAT, "shorter than its fields");
    if (m->sender != p.id) return drop(p, zrt::MSG_CHAT, kSpoofed);
    if (m->text.empty()) return drop(p, zrt::MSG_CHAT, "no text");
    if (m->target == 0) {
        out.sends.push_back({Outgoing::To::All, 0, zrt::encodeChat(*m), true});
        return;
    }
    if (!announcedPlayer(m->target)) return drop(p, zrt::MSG_CHAT, "whisper to nobody here");
    out.sends.push_back({Outgoing::To::One, m->target, zrt::encodeChat(*m)});
}

void Hall::onInvite(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::InviteMessage> m = zrt::decodeInvite(data, size);
    if (!m) return drop(p, zrt::MSG_INVITE, "shorter than its fields");
    if (m->inviter != p.id) return drop(p, zrt::MSG_INVITE, kSpoofed);
    if (!announcedPlayer(m->invited) || m->invited == p.id)
        return drop(p, zrt::MSG_INVITE, "invites nobody here");
    const zrt::GroupEntry* g = groups_.find(m->groupId);
    if (!g || !g->hasMember(p.id)) return drop(p, zrt::MSG_INVITE, "not a member of the group");
    out.sends.push_back({Outgoing::To::One, m->invited, zrt::encodeInvite(*m)});
}

void Hall::onInviteReply(Player& p, const uint8_t* data, size_t size, HallEffects& out) {
    std::optional<zrt::InviteReplyMessage> m = zrt::decodeInviteReply(data, size);
    if (!m) return drop(p, zrt::MSG_INVITE_REPLY, "shorter than its fields");
    if (m->answering != p.id) return drop(p, zrt::MSG_INVITE_REPLY, kSpoofed);
    if (!announcedPlayer(m->inviter) || m->inviter == p.id)
        return drop(p, zrt::MSG_INVITE_REPLY, "answers nobody here");
    out.sends.push_back({Outgoing::To::One, m->inviter, zrt::encodeInviteReply(*m)});
}

}  // namespace zrtserver
