// Hall: its players, their arrival and departure, the rate check and the dispatch of client
// messages. The handlers of each message are in hall_messages.cpp.
#include "server/hall.h"

#include <algorithm>

#include "server/log.h"

namespace zrtserver {

namespace {
// Drops of one player that are logged one by one; after that every kDropLogEvery-th.
constexpr uint64_t kDropLogFirst = 20;
constexpr uint64_t kDropLogEvery = 1000;
// Group ids a player may hold granted and unused at once; older grants lapse.
constexpr size_t kMaxGrantedIds = 8;
}  // namespace

Hall::Hall(HallConfig config, uint32_t serverPlayer, HallShared& shared)
    : config_(std::move(config)), serverPlayer_(serverPlayer), shared_(shared) {}

void Hall::log(const std::string& text) const {
    logLine("hall \"" + config_.name + "\": " + text);
}

std::string Hall::who(const Player& p) const {
    const std::string& name = p.announced ? p.info.name : p.name;
    return "player " + std::to_string(p.id) + " \"" + printable(name) + "\"";
}

void Hall::playerCreated(uint32_t id, const std::string& name, const std::string& address,
                         Clock::time_point now, HallEffects& out) {
    if (players_.count(id)) return;
    players_.emplace(id, Player{id,
                                name,
                                address,
                                now,
                                false,
                                false,
                                {},
                                MessageBucket(shared_.messageRate, shared_.messageBurst, now),
                                {},
                                0});
    out.sends.push_back({Outgoing::To::One, id, zrt::encodeWelcome(serverPlayer_)});
    if (!shared_.entryNews.empty())
        out.sends.push_back({Outgoing::To::One, id, zrt::encodeNews(shared_.entryNews)});
}

void Hall::expireSilent(Clock::time_point now, HallEffects& out) {
    for (auto& [id, p] : players_) {
        if (!p.announced && !p.retired && now - p.welcomed > kAnnounceLimit)
            cutOff(p,
                   "did not announce itself within " + std::to_string(kAnnounceLimit.count()) +
                       " s of its welcome",
                   out);
    }
}

void Hall::cutOff(Player& p, const std::string& why, HallEffects& out) {
    log(who(p) + " from " + p.address + " removed: " + why);
    p.retired = true;
    out.disconnect.push_back(p.id);
}

void Hall::playerDestroyed(uint32_t id, HallEffects& out) {
    auto it = players_.find(id);
    if (it == players_.end()) return;
    if (it->second.retired) {
        players_.erase(it);
        return;
    }
    forget(id, out);
}

void Hall::retire(uint32_t id, HallEffects& out) {
    auto it = players_.find(id);
    if (it == players_.end() || it->second.retired) return;
    log(who(it->second) + " lost its name to a newer login");
    out.sends.push_back({Outgoing::To::One, id, zrt::encodePlayerLeft(id)});
    forget(id, out);
    // Kept, marked, until its client goes: whatever it still sends is dropped.
    Player retired{id, "", "", Clock::now(), false, true, {}, MessageBucket(1, 1, Clock::now()),
                   {}, 0};
    players_.emplace(id, std::move(retired));
}

void Hall::forget(uint32_t id, HallEffects& out) {
    auto it = players_.find(id);
    if (it == players_.end()) return;
    bool announced = it->second.announced;
    std::string name = who(it->second);
    // A stay in the halls keeps the name's sign-in fresh: its player may enter another hall.
    if (announced && shared_.signIns)
        shared_.signIns->record(it->second.info.name, it->second.address);
    players_.erase(it);
    if (announced) {
        // The clients take the player out of his group on this; the removal of a group it
        // empties follows.
        order_.erase(std::remove(order_.begin(), order_.end(), id), order_.end());
        out.sends.push_back({Outgoing::To::Others, id, zrt::encodePlayerLeft(id)});
        log(name + " left (" + std::to_string(order_.size()) + " present)");
    }
    leaveGroup(id, out);
}

void Hall::leaveGroup(uint32_t player, HallEffects& out) {
    std::optional<HallGroups::Removal> r = groups_.removeMember(player);
    if (!r || !r->emptied) return;
    out.sends.push_back({Outgoing::To::All, 0, zrt::encodeGroupRemoved(r->groupId)});
    log("group " + std::to_string(r->groupId) + " removed (" + std::to_string(groups_.size()) +
        " groups)");
}

const Hall::Player* Hall::announcedPlayer(uint32_t id) const {
    auto it = players_.find(id);
    if (it == players_.end() || !it->second.announced || it->second.retired) return nullptr;
    return &it->second;
}

const zrt::PlayerEntry* Hall::announcedInfo(uint32_t id) const {
    const Player* p = announcedPlayer(id);
    return p ? &p->info : nullptr;
}

std::vector<uint32_t> Hall::othersThan(uint32_t except) const {
    std::vector<uint32_t> ids;
    ids.reserve(players_.size());
    for (const auto& [id, p] : players_)
        if (id != except && !p.retired) ids.push_back(id);
    return ids;
}

void Hall::drop(Player& p, uint32_t code, const std::string& why) {
    ++p.drops;
    if (p.drops <= kDropLogFirst || p.drops % kDropLogEvery == 0)
        log("dropped message " + std::to_string(code) + " from " + who(p) + ": " + why + " (" +
            std::to_string(p.drops) + " dropped)");
}

void Hall::message(uint32_t from, const uint8_t* data, size_t size, Clock::time_point now,
                   HallEffects& out) {
    auto it = players_.find(from);
    if (it == players_.end() || it->second.retired) return;
    Player& p = it->second;
    std::optional<uint32_t> code = zrt::messageCode(data, size);
    switch (p.bucket.take(now)) {
        case MessageBucket::Verdict::Accept:
            break;
        case MessageBucket::Verdict::Drop:
            drop(p, code.value_or(0), "over its message rate");
            return;
        case MessageBucket::Verdict::Disconnect:
            log(who(p) + " kept sending over its message rate; disconnected");
            out.disconnect.push_back(from);
            return;
    }
    if (!code) return;  // three bytes or fewer carry nothing
    const size_t max = zrt::maxClientSize(*code);
    if (max == 0) return drop(p, *code, "not a message a client sends");
    if (size > max) return drop(p, *code, "larger than " + std::to_string(max) + " bytes");
    switch (*code) {
        case zrt::MSG_PLAYER_INFO:
            return onPlayerInfo(p, data, size, out);
        case zrt::MSG_STATE_REQUEST:
            return onStateRequest(p, out);
        case zrt::MSG_GROUP_ID:
            return onGroupId(p, out);
        default:
            break;
    }
    // Everything else speaks in the hall, which needs the player announced first: the
    // clients drop what names a player they were never told of.
    if (!p.announced) return drop(p, *code, "before its MSG_PLAYER_INFO");
    switch (*code) {
        case zrt::MSG_GROUP_CREATED:
            return onGroupCreated(p, data, size, out);
        case zrt::MSG_GROUP_JOIN:
            return onGroupJoin(p, data, size, out);
        case zrt::MSG_GROUP_LEAVE:
            return onGroupLeave(p, data, size, out);
        case zrt::MSG_LAUNCH:
            return onLaunch(p, data, size, out);
        case zrt::MSG_CHAT:
            return onChat(p, data, size, out);
        case zrt::MSG_INVITE:
            return onInvite(p, data, size, out);
        case zrt::MSG_INVITE_REPLY:
            return onInviteReply(p, data, size, out);
        default:
            return;
    }
}

void Hall::onStateRequest(Player& p, HallEffects& out) {
    for (uint32_t id : order_) {
        if (id == p.id) continue;
        if (const zrt::PlayerEntry* info = announcedInfo(id))
            out.sends.push_back({Outgoing::To::One, p.id, zrt::encodePlayerInfo(*info)});
    }
    for (const zrt::GroupEntry& g : groups_.entries()) {
        zrt::GroupCreatedMessage created{g.id,       g.members.front(), g.inviteOnly, g.savedGame,
                                         g.capacity, g.title,           g.launched};
        out.sends.push_back({Outgoing::To::One, p.id, zrt::encodeGroupCreated(created)});
        for (size_t i = 1; i < g.members.size(); ++i)
            out.sends.push_back(
                {Outgoing::To::One, p.id, zrt::encodeGroupJoin({g.members[i], g.id})});
    }
    out.sends.push_back({Outgoing::To::One, p.id, zrt::encodeStateEnd()});
}

void Hall::onGroupId(Player& p, HallEffects& out) {
    uint32_t id = shared_.nextGroupId++;
    if (id == 0) id = shared_.nextGroupId++;  // after a wrap: 0 means "no group"
    if (p.grantedIds.size() >= kMaxGrantedIds) p.grantedIds.erase(p.grantedIds.begin());
    p.grantedIds.push_back(id);
    out.sends.push_back({Outgoing::To::One, p.id, zrt::encodeGroupIdReply(id)});
}

}  // namespace zrtserver
