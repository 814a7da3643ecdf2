// Host: offers sessions on one TCP port and keeps their players. Clients enumerate the
// sessions of an application, open one with its password and create players in it; the host
// program keeps players of its own in a session (a hall's server player, a game's host
// player), receives what is sent to them and sends from them.
//
// A session may be restricted (SessionConfig::clientsReachHostOnly): its clients may then send
// only to host-owned players, and whatever else they send is dropped and counted; a
// connection that keeps doing so is closed. A session may also allow one player per connection.
//
// The host bounds what one connection can make it hold: connections it admits (the admit hook),
// the write queue of a connection that has no session open (sessionlessQueueLimit), and the
// messages of one connection that wait for the host program (pendingEventLimit: beyond it the
// host stops reading that connection until the program has caught up).
//
// Threads: one io thread of the host's own runs every connection. All public calls are
// thread-safe. Events reach the host program through a queue (WaitEvent) or, when a handler
// is set before Start, through the handler, called on the io thread (it must not block long,
// and it may call back into the Host).
#pragma once

#include <array>
#include <asio.hpp>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "playnet/connection.h"
#include "playnet/result.h"
#include "playnet/session_table.h"

namespace playnet {

struct HostOptions {
    std::string listenAddress = "0.0.0.0";
    uint16_t port = kDefaultPort;  // 0: any free port (see Host::Port)
    // link.sendQueueLimit bounds a connection with a session; a client that takes none of a
    // write for link.writeStallMs has stopped reading and is cut off.
    LinkOptions link{.writeStallMs = 10000};
    // A sheddable send (SendFrom) is dropped, not queued, for a connection that has more than
    // this many bytes waiting: a reader that fell behind skips what matters only while fresh.
    size_t shedAbove = 32 * 1024;
    // The kernel's send buffer of each client connection (0: the system's, which grows to
    // megabytes): it bounds what a client that stopped reading holds in the kernel, and lets
    // the host see soon that it stopped.
    int socketSendBuffer = 128 * 1024;
    size_t sessionlessQueueLimit = 64 * 1024;  // the write queue before a session is open
    size_t pendingEventLimit = 64 * 1024;      // message bytes of one connection waiting
    uint32_t refusedSendLimit = 16;  // sends a restricted session drops before it disconnects
    int acceptRetryMs = 100;         // pause after a failed accept (out of descriptors)
    // Asked for every accepted connection with the peer's address: a ticket the connection
    // holds while it lives, or nullptr to close it at once. Unset: every connection is taken.
    std::function<std::shared_ptr<void>(const std::string& address)> admit;
};

struct HostEvent {
    enum class Kind {
        PlayerCreated,    // a client created `player` (named `name`) from `address`
        PlayerDestroyed,  // a client's `player` is gone: destroyed, or its connection vanished
        Message,          // `from` sent `data` to the host-owned `player`
        SendsRefused,     // the connection of `from` was closed after `refused` forbidden sends
    };
    Kind kind = Kind::Message;
    Guid session;
    PlayerId player = 0;
    PlayerId from = 0;
    std::string name;
    std::vector<uint8_t> data;
    std::string address;  // PlayerCreated: the client's address as the host sees it
    uint32_t refused = 0;
};

struct PlayerInfo {
    PlayerId id = 0;
    std::string name;
    bool hostOwned = false;
};

class Host {
  public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Set before Start to receive events by callback instead of WaitEvent.
    void SetEventHandler(std::function<void(const HostEvent&)> handler);

    // Binds the listening socket and starts the io thread. False when the address cannot be
    // bound or the host runs already.
    bool Start(const HostOptions& options);
    // Closes every connection and the listening socket; clients see their session lost.
    void Close();
    uint16_t Port() const;

    // Offers a session under the configured instance id, or a generated one. Nothing when the
    // host is not running or the configured id is offered already.
    std::optional<Guid> CreateSession(const SessionConfig& config);
    // Withdraws a session: its clients' connections are closed.
    bool DestroySession(const Guid& instance);
    std::optional<SessionDesc> Describe(const Guid& instance) const;
    std::vector<PlayerInfo> Players(const Guid& instance) const;

    // A player owned by the host program. 0 when there is no such session or it is full.
    PlayerId CreateHostPlayer(const Guid& session, const std::string& name);
    bool DestroyHostPlayer(PlayerId id);
    // Sends from a host-owned player to one player of its session, or to all its other
    // players (to = kAllPlayers). `sheddable`: skipped for a client that is behind (see
    // HostOptions::shedAbove) and counted in ShedCount.
    Result SendFrom(PlayerId from, PlayerId to, const void* data, size_t size,
                    uint32_t flags = kSendGuaranteed, bool sheddable = false);
    // Deliveries of sheddable sends skipped so far.
    uint64_t ShedCount() const { return shed_.load(); }
    // Client connections that ended for `reason` so far (Local counts the host program's own
    // closes: DisconnectPlayer, DestroySession, Close; too many refused sends count as Garbage).
    uint64_t ClosedLinks(CloseReason reason) const {
        return closedLinks_[static_cast<size_t>(reason)].load();
    }
    // Closes the connection that owns a client's player (all that connection's players go).
    bool DisconnectPlayer(PlayerId id);

    // The next event, waiting up to timeoutMs (negative: without limit).
    std::optional<HostEvent> WaitEvent(int timeoutMs);

  private:
    // What one waiting message counts beside its bytes, so that empty ones count too.
    static constexpr size_t kEventCost = 64;
    // The bytes of one connection's messages that wait for the host program.
    struct Backlog {
        std::mutex mutex;
        size_t bytes = 0;
        bool paused = false;
        std::weak_ptr<Connection> conn;
    };
    struct Peer {
        std::shared_ptr<Connection> conn;
        std::string address;
        std::shared_ptr<void> ticket;  // from the admit hook, held while the connection lives
        std::shared_ptr<Backlog> backlog;
        bool hello = false;
        bool rejected = false;  // told of a version mismatch; closes once that is written
        std::optional<Guid> session;
        uint32_t players = 0;
        uint32_t refused = 0;
        bool flushDue = false;  // frames queued for the next flush
    };
    struct Queued {
        HostEvent event;
        std::shared_ptr<Backlog> backlog;  // set for a client's message
    };

    void accept();
    void acceptLater();
    void onAccepted(asio::ip::tcp::socket socket);
    bool onFrame(uint64_t peerId, FrameType type, Body body);
    void onClosed(uint64_t peerId, CloseReason reason);

    // Under mutex_.
    bool handleOpen(Peer& peer, Body body);
    bool handleCreatePlayer(Peer& peer, uint64_t peerId, Body body);
    bool handleSend(Peer& peer, uint64_t peerId, Body body);
    // A send the session does not allow: dropped, counted, and past the limit the end.
    void refuseLocked(Peer& peer, PlayerId from);
    void removePlayerLocked(PlayerId id, bool emitEvent);
    void announceLocked(const Guid& session, PlayerNoticeFrame notice);
    // `sender`: the client connection the message comes from, or null for the host program.
    void routeLocked(const Guid& session, PlayerId from, PlayerId to, uint32_t flags,
                     const void* data, size_t size, Peer* sender, bool sheddable = false);
    void deliverLocked(const TablePlayer& target, PlayerId from, uint32_t flags, const void* data,
                       size_t size, Peer* sender, bool sheddable);
    // The deliveries queued by a route are written in one hand-over to the io thread, which
    // also gathers the routes that come while it is busy into one write per connection.
    void scheduleFlushLocked();
    void flush();
    static HostEvent makeEvent(HostEvent::Kind kind, const Guid& session, PlayerId player,
                               PlayerId from = 0, std::string name = {});
    void raise(HostEvent event, std::shared_ptr<Backlog> backlog = nullptr);
    // The host program has taken a message of `backlog`: reading may go on.
    static void release(Backlog& backlog, size_t bytes, size_t limit);

    asio::io_context io_;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work_;
    std::unique_ptr<asio::ip::tcp::acceptor> acceptor_;
    std::unique_ptr<asio::steady_timer> acceptRetry_;
    std::thread thread_;
    HostOptions options_;
    std::function<void(const HostEvent&)> handler_;

    mutable std::mutex mutex_;
    bool running_ = false;
    uint16_t port_ = 0;
    SessionTable table_;
    std::unordered_map<uint64_t, Peer> peers_;
    std::vector<uint64_t> flushDue_;  // peers with deliveries queued
    bool flushPosted_ = false;
    std::vector<std::shared_ptr<Connection>> flushing_;  // io thread only
    std::atomic<uint64_t> shed_{0};
    std::array<std::atomic<uint64_t>, kCloseReasons> closedLinks_{};

    std::mutex eventMutex_;
    std::condition_variable eventCv_;
    std::deque<Queued> events_;
};

}  // namespace playnet
