// LobbyRole: the halls of the lobby. It hosts each configured hall as a playnet session of the
// hall application (opened with the hall password, first user field = the hall's kind) on its own
// TCP port at the server's listen address, keeps one server player in each, and runs the halls'
// logic on one thread of its own that takes the host's events in order.
//
// The hall sessions are restricted: a client may address only the server player (anything
// else is dropped, and a connection that keeps trying is closed), and holds one player per
// connection. The port holds at most max_connections, max_connections_per_address from one
// address.
//
// A lobby name is one login: when a player announces a name that a player in any hall holds,
// the older one is told (MSG_PLAYER_LEFT with its own id), leaves every table at once, and is
// disconnected if its client has not gone within kTakeoverGrace.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "playnet/guid.h"
#include "playnet/host.h"
#include "server/connection_limits.h"
#include "server/hall.h"
#include "server/server_config.h"
#include "server/sign_ins.h"

namespace zrtserver {

class LobbyRole {
  public:
    static constexpr auto kTakeoverGrace = std::chrono::seconds(5);

    // Binds the hall port at `address` and offers the halls. `signIns`: the record a name must
    // be found in (null: names are not tied to logins). nullptr with a reason on failure.
    static std::unique_ptr<LobbyRole> start(const std::string& address, const HallsConfig& config,
                                            SignIns* signIns, std::string& error);
    ~LobbyRole();
    LobbyRole(const LobbyRole&) = delete;
    LobbyRole& operator=(const LobbyRole&) = delete;

    // Closes every hall (clients see their session lost) and ends the thread. Idempotent.
    void stop();
    // Thread-safe: the text sent after each later welcome (empty: none).
    void setEntryNews(const std::string& text);
    uint16_t port() const { return host_.Port(); }
    // Connections the hall port holds now.
    int connections() const { return limits_.open(); }

    // Operator requests (the control socket). Each runs on the lobby thread between events;
    // the caller waits for its answer at most kControlWait and gets nullopt when it did not
    // come (the halls are stopping).
    static constexpr auto kControlWait = std::chrono::seconds(5);
    struct HallPlayer {
        std::string name;
        std::string address;
    };
    struct HallView {
        std::string name;
        size_t players = 0;  // present, announced or not
        size_t groups = 0;
        std::vector<HallPlayer> announced;
    };
    std::optional<std::vector<HallView>> survey();
    // Cuts off the player holding `name` (without case) as a lost connection would: his lobby
    // sees its session lost, the hall sees him leave. False when nobody holds it.
    std::optional<bool> kick(const std::string& name);
    // MSG_NEWS now to every player of the hall named (without case; empty: every hall). The
    // number of halls it went to.
    std::optional<size_t> sendNews(const std::string& hall, const std::string& text);

    // Several lobby hosts. `listener` hears each lobby name (lower case) a hall takes, on the
    // lobby thread: it must not wait.
    void setAnnounceListener(std::function<void(const std::string&)> listener);
    // The lobby names (lower case) the halls hold now.
    std::optional<std::vector<std::string>> heldNames();
    // The holder of the name is retired as a newer login elsewhere would retire him.
    std::optional<bool> evict(const std::string& nameKey);

  private:
    struct HallSlot {
        playnet::Guid session;
        std::unique_ptr<Hall> hall;
    };
    struct NameHolder {
        size_t hall = 0;
        uint32_t player = 0;
    };
    struct PendingCut {
        uint32_t player = 0;
        std::chrono::steady_clock::time_point deadline;
    };

    explicit LobbyRole(const HallsConfig& config);
    void run();
    void handle(const playnet::HostEvent& event);
    void takeOver(size_t hall, uint32_t player, const std::string& name);
    void retire(const NameHolder& holder);
    void carryOut(size_t hall, HallEffects& effects);
    void cutOffOverdue();
    void expireSilent();
    void adoptNews();
    // Logs the hall chat deliveries the host shed and the links it cut (by reason) since the
    // last report (at most every 10 s; `last`: now).
    void reportShedAndCuts(bool last = false);
    void runTasks();
    template <class T>
    std::optional<T> onLobbyThread(std::function<T()> work);

    HallsConfig config_;
    ConnectionLimits limits_;  // outlives the host, whose connections hold its tickets
    playnet::Host host_;
    std::vector<HallSlot> halls_;
    std::map<playnet::Guid, size_t> bySession_;

    // The lobby thread's own.
    HallShared shared_;
    std::unordered_map<std::string, NameHolder> names_;  // lower-case lobby name
    std::vector<PendingCut> cuts_;
    std::chrono::steady_clock::time_point nextExpiry_{};
    std::chrono::steady_clock::time_point nextLoadReport_{};
    uint64_t shedReported_ = 0;
    std::array<uint64_t, playnet::kCloseReasons> linksCutReported_{};

    std::mutex newsMutex_;
    std::optional<std::string> newNews_;
    std::mutex tasksMutex_;
    std::vector<std::function<void()>> tasks_;
    std::function<void(const std::string&)> announced_;  // the lobby thread's
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace zrtserver
