// HallBot: one lobby client's player in a hall of a real zrtserver, driven through
// playnet::Client the way the lobby does (sign in, enumerate, open with the hall password,
// create the player, wait for the welcome, ask for the hall's state), for the server tests,
// the window tests (the other player beside the real lobby) and the benchmarks. Plain C++;
// every wait is bounded.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lobby/session/hall_identity.h"
#include "lobby/session/lobby_messages.h"
#include "playnet/auto_reset_event.h"
#include "playnet/client.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrttest {

inline const playnet::Guid kHallApp = *playnet::Guid::Parse(zrt::kHallApplicationText);
constexpr int kBoundMs = 10000;  // the lobby's own bound on every wait for the server

// The halls a fresh client finds at `address` (waits at most `ms` until at least `atLeast` are
// listed).
std::vector<playnet::SessionDesc> listHalls(const std::string& address, size_t atLeast = 1,
                                            int ms = kBoundMs);

struct BotMessage {
    uint32_t from = 0;
    zrt::Bytes data;
    uint32_t code() const { return zrt::messageCode(data.data(), data.size()).value_or(~0u); }
};

class HallBot {
  public:
    // `boundMs`: how long any one wait for the server may take (longer over a slow link).
    explicit HallBot(int boundMs = kBoundMs);
    ~HallBot();

    // Signs `name` in, opens the hall named `hall` and creates the player; false on any
    // failure.
    bool open(const ServerProcess& server, const std::string& hall, const std::string& name);
    // Opens the hall and creates the player without signing in.
    bool join(const std::string& address, const std::string& hall, const std::string& name);
    // Waits for MSG_WELCOME; the server player's id, or 0.
    uint32_t awaitWelcome();
    // What the lobby does after the welcome: the state request and its own MSG_PLAYER_INFO.
    // Returns the snapshot, MSG_STATE_END included, or nothing when it did not end in time.
    std::optional<std::vector<BotMessage>> requestState();
    // open + awaitWelcome + requestState.
    bool enter(const ServerProcess& server, const std::string& hall, const std::string& name);

    // What the bot announces: the address is the one the server sees its connection come
    // from on loopback, which is what the others are told whatever a client writes.
    zrt::PlayerEntry info() const;

    bool send(const zrt::Bytes& data) { return sendTo(server_, data); }
    // To any player of the hall (kAllPlayers: all of them), past the server player.
    bool sendTo(uint32_t to, const zrt::Bytes& data);
    // A further player on the bot's connection.
    playnet::Result createAnother(const std::string& name);

    // The next application message (system messages skipped), or of one code only (others
    // skipped too); nothing when none came within `ms` (default: the bound) or the session
    // was lost.
    std::optional<BotMessage> next(std::optional<uint32_t> code = std::nullopt, int ms = -1);
    // Every application message up to and including the first that `last` accepts; nothing
    // when none came in time.
    std::optional<std::vector<BotMessage>> until(
        const std::function<bool(const BotMessage&)>& last);
    // ... up to the hall chat line `marker` from `sender`.
    std::optional<std::vector<BotMessage>> until(uint32_t sender, const std::string& marker);
    // A chat line `text` from anyone arrived in time.
    bool heard(const std::string& text);

    // A chat line (to the hall, or whispered to `target`); said to the hall it marks that
    // everything sent before it was handled.
    bool say(const std::string& text, uint32_t target = 0);

    // Waits (bounded) until the link to the server is reported lost.
    bool awaitLost(int ms);

    // A fresh group id from the server, or 0.
    uint32_t requestGroupId();
    // Asks for an id and creates a group with it; the id once the echo came back, else 0.
    uint32_t createGroup(const std::string& title, uint32_t capacity = 255);
    // Sends a join or leave and waits for its echo; false when none came.
    bool join(uint32_t group);
    bool leave(uint32_t group);

    // The client vanishes: its connection closes without any leave.
    void vanish() { client_.reset(); }

    uint32_t id() const { return id_; }
    uint32_t server() const { return server_; }
    const std::string& name() const { return name_; }

  private:
    // Waits for the relay of the own group message of `code` for `group`.
    bool awaitOwn(uint32_t code, uint32_t group);

    int boundMs_;
    playnet::AutoResetEvent event_;  // outlives the client, which may set it until it is gone
    std::unique_ptr<playnet::Client> client_;
    playnet::PlayerId id_ = 0;
    uint32_t server_ = 0;
    std::string name_;
    bool lost_ = false;
};

// Views of a message list, for assertions.
std::vector<uint32_t> codesOf(const std::vector<BotMessage>& list);
bool contains(const std::vector<BotMessage>& list, const zrt::Bytes& data);

}  // namespace zrttest
