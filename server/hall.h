// Hall: the lobby role's side of one hall. It keeps the hall's players (id, the
// MSG_PLAYER_INFO each announced, its message allowance) and groups, checks every message a
// client sends to the server player, and says what goes out in answer: the welcome, the state
// snapshot, relays to the hall or to one player, group ids, departures.
//
// A client speaks only for its own player: a message naming another player as its sender,
// joiner, leaver, inviter or answering player is dropped and logged, as is anything over its
// size, against the group rules, or beyond the client's message rate. A player must announce
// itself within kAnnounceLimit of its welcome, under a name that follows the login-name rules
// and (when the halls require it) signed in from the player's own address; otherwise it is
// removed. The address other players are told, in its MSG_PLAYER_INFO and its MSG_LAUNCH, is
// the one its connection comes from, whatever it wrote there.
//
// Plain logic: the LobbyRole feeds it the host's events on its one thread and carries out the
// returned Effects.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "lobby/session/lobby_messages.h"
#include "server/hall_groups.h"
#include "server/message_bucket.h"
#include "server/server_config.h"
#include "server/sign_ins.h"

namespace zrtserver {

// What the halls of one server share.
struct HallShared {
    uint32_t nextGroupId = 1;  // group ids are granted server-wide and never 0
    std::string entryNews;     // sent after each welcome when not empty
    int messageRate = 100;
    int messageBurst = 200;
    SignIns* signIns = nullptr;  // null: any name that follows the rules is taken
};

// One message from the server player.
struct Outgoing {
    enum class To {
        One,     // `player` only
        All,     // every player of the hall
        Others,  // every player of the hall but `player`
    };
    To to = To::One;
    uint32_t player = 0;
    zrt::Bytes data;
    // Hall chat: skipped for a reader too far behind (it matters only while fresh); the
    // skipped deliveries are counted and logged.
    bool sheddable = false;
};

struct HallEffects {
    std::vector<Outgoing> sends;           // in this order
    std::vector<uint32_t> disconnect;      // players to cut off now
    std::optional<std::string> announced;  // the lobby name a player has just announced
};

class Hall {
  public:
    using Clock = std::chrono::steady_clock;
    // The lobby waits 10 s for the welcome; a client gets as long again to announce itself.
    static constexpr auto kAnnounceLimit = std::chrono::seconds(10);

    Hall(HallConfig config, uint32_t serverPlayer, HallShared& shared);

    const HallConfig& config() const { return config_; }
    uint32_t serverPlayer() const { return serverPlayer_; }

    // A client created its player from `address` (its connection's peer address): the
    // welcome, then the entry news.
    void playerCreated(uint32_t id, const std::string& name, const std::string& address,
                       Clock::time_point now, HallEffects& out);
    // Players welcomed more than kAnnounceLimit ago that have not announced themselves are
    // cut off.
    void expireSilent(Clock::time_point now, HallEffects& out);
    // The player is gone (destroyed, or its connection vanished): the others learn it.
    void playerDestroyed(uint32_t id, HallEffects& out);
    // The player's lobby name was taken over by a newer login: it is told so with its own id,
    // the others see it leave, and its later messages are dropped until it goes.
    void retire(uint32_t id, HallEffects& out);
    // A message a client sent to the server player.
    void message(uint32_t from, const uint8_t* data, size_t size, Clock::time_point now,
                 HallEffects& out);

    // Announced players in announcement order.
    const std::vector<uint32_t>& announcedOrder() const { return order_; }
    const zrt::PlayerEntry* announcedInfo(uint32_t id) const;
    const HallGroups& groups() const { return groups_; }
    // Receivers of an Others message: every present player but `except` and the retired.
    std::vector<uint32_t> othersThan(uint32_t except) const;
    size_t presentCount() const { return players_.size(); }

  private:
    struct Player {
        uint32_t id = 0;
        std::string name;     // its playnet name
        std::string address;  // where its connection comes from
        Clock::time_point welcomed;
        bool announced = false;
        bool retired = false;  // out of the hall's records; dropped until its client has gone
        zrt::PlayerEntry info;
        MessageBucket bucket;
        std::vector<uint32_t> grantedIds;  // group ids granted and not yet used
        uint64_t drops = 0;
    };

    // Message handlers (hall_messages.cpp). `p` is the sender, neither retired nor over rate.
    void onPlayerInfo(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onStateRequest(Player& p, HallEffects& out);
    void onGroupId(Player& p, HallEffects& out);
    void onGroupCreated(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onGroupJoin(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onGroupLeave(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onLaunch(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onChat(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onInvite(Player& p, const uint8_t* data, size_t size, HallEffects& out);
    void onInviteReply(Player& p, const uint8_t* data, size_t size, HallEffects& out);

    // Takes the player out of his group; an emptied group is removed in every client too.
    void leaveGroup(uint32_t player, HallEffects& out);
    // Removes the player from the records; announced players are seen leaving.
    void forget(uint32_t id, HallEffects& out);
    const Player* announcedPlayer(uint32_t id) const;
    void drop(Player& p, uint32_t code, const std::string& why);
    // Refuses a player that has not announced itself: logged, retired and disconnected.
    void cutOff(Player& p, const std::string& why, HallEffects& out);
    std::string who(const Player& p) const;
    void log(const std::string& text) const;

    HallConfig config_;
    uint32_t serverPlayer_;
    HallShared& shared_;
    std::unordered_map<uint32_t, Player> players_;
    std::vector<uint32_t> order_;  // announced players, in announcement order
    HallGroups groups_;
};

}  // namespace zrtserver
