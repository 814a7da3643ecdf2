// Test support for the halls: HallServer, a real zrtserver process, and HallBot, one lobby
// client's player in one of its halls, driven through playnet::Client the way the lobby does
// (sign in, enumerate, open with the hall password, create the player, wait for the welcome).
// Every wait is bounded.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lobby/session/lobby_messages.h"
#include "playnet/client.h"
#include "playnet/system_messages.h"
#include "tests/server/server_process.h"

namespace zrttest {

// A real zrtserver process on `address` with the given extra configuration.
class HallServer {
  public:
    explicit HallServer(const std::string& address, const std::string& extra = "")
        : process_(address, dir_.path() + "/data", testConfig(extra)) {}
    bool start() { return process_.start(); }
    const std::string& address() const { return process_.address(); }
    const std::string& dataDir() const { return process_.dataDir(); }
    std::string log() const { return process_.log(); }
    // Waits (bounded) until the log holds `text`.
    bool logged(const std::string& text) const {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(10000);
        while (log().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
    ServerProcess& process() { return process_; }

  private:
    TempDir dir_;
    ServerProcess process_;
};

inline const playnet::Guid kHallApp =
    *playnet::Guid::Parse("{6A2F0C93-1B7E-4D58-8C41-2E9B7D0F5A36}");
constexpr int kBoundMs = 10000;  // the lobby's own bound on every wait for the server

// The halls a fresh client finds at `address` (waits until at least `atLeast` are listed).
inline std::vector<playnet::SessionDesc> listHalls(const std::string& address, size_t atLeast = 1) {
    playnet::Client c;
    std::vector<playnet::SessionDesc> halls;
    if (c.InitializeConnection(address) != playnet::Result::Ok) return halls;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
    while (std::chrono::steady_clock::now() < end) {
        halls.clear();
        c.EnumSessions(kHallApp, halls, 1000);
        if (halls.size() >= atLeast) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return halls;
}

struct BotMessage {
    uint32_t from = 0;
    zrt::Bytes data;
    uint32_t code() const { return zrt::messageCode(data.data(), data.size()).value_or(~0u); }
};

class HallBot {
  public:
    HallBot() : client_(std::make_unique<playnet::Client>()) {}
    ~HallBot() { client_.reset(); }

    // Signs `name` in, opens the hall named `hall` and creates the player; false on any
    // failure.
    bool open(const HallServer& server, const std::string& hall, const std::string& name) {
        return signIn(server.address(), server.dataDir(), name) &&
               join(server.address(), hall, name);
    }

    // Opens the hall and creates the player without signing in.
    bool join(const std::string& address, const std::string& hall, const std::string& name) {
        name_ = name;
        if (client_->InitializeConnection(address) != playnet::Result::Ok) return false;
        for (const playnet::SessionDesc& d : listHalls(address)) {
            if (d.name != hall) continue;
            if (client_->Open(d.instance, "VOLKEN") != playnet::Result::Ok) return false;
            return client_->CreatePlayer(name, &event_, id_) == playnet::Result::Ok;
        }
        return false;
    }

    // Waits for MSG_WELCOME; the server player's id, or 0.
    uint32_t awaitWelcome() {
        std::optional<BotMessage> m = next(zrt::MSG_WELCOME);
        if (m) server_ = zrt::decodeWelcome(m->data.data(), m->data.size()).value_or(0);
        return server_;
    }

    // What the lobby does after the welcome: the state request and its own MSG_PLAYER_INFO.
    // Returns the snapshot, MSG_STATE_END included, or nothing when it did not end in time.
    std::optional<std::vector<BotMessage>> requestState() {
        send(zrt::encodeStateRequest());
        send(zrt::encodePlayerInfo(info()));
        std::vector<BotMessage> snapshot;
        for (;;) {
            std::optional<BotMessage> m = next();
            if (!m) return std::nullopt;
            snapshot.push_back(*m);
            if (m->code() == zrt::MSG_STATE_END) return snapshot;
        }
    }

    // open + awaitWelcome + requestState.
    bool enter(const HallServer& server, const std::string& hall, const std::string& name) {
        return open(server, hall, name) && awaitWelcome() != 0 && requestState().has_value();
    }

    // What the bot announces: the address is the one the server sees its connection come
    // from on loopback, which is what the others are told whatever a client writes.
    zrt::PlayerEntry info() const {
        zrt::PlayerEntry e;
        e.id = id_;
        e.address = "127.0.0.1";
        e.name = name_;
        e.score = 1500;
        e.victories = 3;
        e.gemstones = 7;
        return e;
    }

    bool send(const zrt::Bytes& data) { return sendTo(server_, data); }
    // To any player of the hall (kAllPlayers: all of them), past the server player.
    bool sendTo(uint32_t to, const zrt::Bytes& data) {
        return client_->Send(id_, to, playnet::kSendGuaranteed, data.data(), data.size()) ==
               playnet::Result::Ok;
    }
    // A further player on the bot's connection.
    playnet::Result createAnother(const std::string& name) {
        playnet::PlayerId other = 0;
        return client_->CreatePlayer(name, &event_, other);
    }

    // The next application message (system messages skipped), or of one code only (others
    // skipped too); nothing when none came within `ms` or the session was lost.
    std::optional<BotMessage> next(std::optional<uint32_t> code = std::nullopt, int ms = kBoundMs) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        std::vector<uint8_t> buf(512);
        for (;;) {
            playnet::PlayerId from = 0, to = id_;
            size_t size = buf.size();
            playnet::Result r = client_->Receive(from, to, buf.data(), size);
            if (r == playnet::Result::BufferTooSmall) {
                buf.resize(size);
                continue;
            }
            if (r == playnet::Result::Ok) {
                if (from == playnet::kSystemPlayer) {
                    auto sys = playnet::SystemMessage::Decode(buf.data(), size);
                    if (sys && sys->type == 0x31) {
                        lost_ = true;  // nothing follows a lost session
                        return std::nullopt;
                    }
                    continue;
                }
                BotMessage m{from, zrt::Bytes(buf.begin(), buf.begin() + static_cast<long>(size))};
                if (!code || m.code() == *code) return m;
                continue;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return std::nullopt;
            event_.wait(static_cast<int>(left.count()));
        }
    }

    // Every application message up to and including the hall chat line `marker` from
    // `sender`; nothing when it did not come in time.
    std::optional<std::vector<BotMessage>> until(uint32_t sender, const std::string& marker) {
        std::vector<BotMessage> seen;
        for (;;) {
            std::optional<BotMessage> m = next();
            if (!m) return std::nullopt;
            seen.push_back(*m);
            if (m->code() != zrt::MSG_CHAT) continue;
            auto chat = zrt::decodeChat(m->data.data(), m->data.size());
            if (chat && chat->sender == sender && chat->text == marker) return seen;
        }
    }

    // A hall chat line, to use as a marker that everything sent before it was handled.
    bool say(const std::string& text) { return send(zrt::encodeChat({id_, 0, text})); }

    // Waits (bounded) until the link to the server is reported lost.
    bool awaitLost(int ms) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!lost_) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            next(std::nullopt, static_cast<int>(left.count()));
        }
        return true;
    }

    // A fresh group id from the server, or 0.
    uint32_t requestGroupId() {
        send(zrt::encodeGroupIdRequest());
        std::optional<BotMessage> m = next(zrt::MSG_GROUP_ID);
        return m ? zrt::decodeGroupIdReply(m->data.data(), m->data.size()).value_or(0) : 0;
    }

    // Asks for an id and creates a group with it; the id once the echo came back, else 0.
    uint32_t createGroup(const std::string& title, uint32_t capacity = 255) {
        uint32_t id = requestGroupId();
        if (id == 0) return 0;
        send(zrt::encodeGroupCreated({id, id_, false, false, capacity, title, false}));
        return awaitOwn(zrt::MSG_GROUP_CREATED, id) ? id : 0;
    }

    // Sends a join or leave and waits for its echo; false when none came.
    bool join(uint32_t group) {
        send(zrt::encodeGroupJoin({id_, group}));
        return awaitOwn(zrt::MSG_GROUP_JOIN, group);
    }
    bool leave(uint32_t group) {
        send(zrt::encodeGroupLeave({id_, group}));
        return awaitOwn(zrt::MSG_GROUP_LEAVE, group);
    }

    // The client vanishes: its connection closes without any leave.
    void vanish() { client_.reset(); }

    uint32_t id() const { return id_; }
    uint32_t server() const { return server_; }
    const std::string& name() const { return name_; }

  private:
    // Waits for the relay of the own group message of `code` for `group`.
    bool awaitOwn(uint32_t code, uint32_t group) {
        for (;;) {
            std::optional<BotMessage> m = next(code);
            if (!m) return false;
            if (code == zrt::MSG_GROUP_CREATED) {
                auto g = zrt::decodeGroupCreated(m->data.data(), m->data.size());
                if (g && g->creator == id_ && g->groupId == group) return true;
            } else {
                auto g = zrt::decodeGroupMembership(m->data.data(), m->data.size());
                if (g && g->player == id_ && g->groupId == group) return true;
            }
        }
    }

    playnet::AutoResetEvent event_;  // outlives the client, which may set it until it is gone
    std::unique_ptr<playnet::Client> client_;
    playnet::PlayerId id_ = 0;
    uint32_t server_ = 0;
    std::string name_;
    bool lost_ = false;
};

// Decoded views of a message list, for assertions.
inline std::vector<uint32_t> codesOf(const std::vector<BotMessage>& list) {
    std::vector<uint32_t> codes;
    for (const BotMessage& m : list) codes.push_back(m.code());
    return codes;
}

}  // namespace zrttest
