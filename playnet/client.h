// Client: the application's side of a session. It is bound to a host address, enumerates
// that host's sessions of an application in the background, opens one session with its
// password, creates local players there (each with a receive queue and a receive event that
// is set whenever a message is queued for it), sends from them and receives for them.
//
// System messages (sender kSystemPlayer) are queued like application messages; their layouts
// are in system_messages.h. When the link to the host is lost (closed, or silent for the
// heartbeat limit, 6 s plus at most 0.5 s), every local player receives "session lost".
//
// Threads: the client runs its own io thread; every public call is thread-safe. Open and
// CreatePlayer wait for the host's answer (bounded by requestTimeoutMs); Close waits, at most
// kLeaveWaitMs, for the host to have let the local players go; nothing else blocks.
#pragma once

#include <asio.hpp>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "playnet/auto_reset_event.h"
#include "playnet/connection.h"
#include "playnet/receive_queue.h"
#include "playnet/result.h"
#include "playnet/session_desc.h"
#include "playnet/session_enumerator.h"

namespace playnet {

struct ClientOptions {
    int requestTimeoutMs = 10000;  // connect, open, create player
    int enumRefreshMs = 1000;      // how often a running enumeration asks again
    LinkOptions link;
};

class Client {
  public:
    explicit Client(const ClientOptions& options = {});
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Binds the client to a host: dotted IPv4 text or a name (resolved now). Nothing is
    // connected yet. ConnectFailed when the name cannot be resolved.
    Result InitializeConnection(const std::string& host, uint16_t port = kDefaultPort);

    // The sessions of `application` known so far; starts the background enumeration on the
    // first call (or when the application changes). waitMs > 0: waits at most that long for
    // the first answer. Never blocks longer than waitMs.
    Result EnumSessions(const Guid& application, std::vector<SessionDesc>& sessions,
                        int waitMs = 0);
    // Starts the enumeration of `application` afresh: what it knew is forgotten and the host is
    // asked at once. `firstAnswer` (may be empty) is called once, on the client's io thread,
    // when that answer can be read with EnumSessions; it must not call into the client.
    Result RestartEnumSessions(const Guid& application, std::function<void()> firstAnswer);
    // The last restart's `firstAnswer` is not called any more; when this returns, no call of
    // it is running.
    void ForgetEnumAnswer();
    void StopEnumSessions();

    // Joins a session. WrongPassword, SessionFull, NoSuchSession, ConnectFailed, Timeout,
    // AlreadyOpen (Close first) are the failures.
    Result Open(const Guid& instance, const std::string& password);

    // A local player in the open session. `event` (may be null) is set whenever a message is
    // queued for the player; it must stay alive until DestroyPlayer or Close has returned (or
    // the Client is gone): after that the library never touches it again.
    Result CreatePlayer(const std::string& name, AutoResetEvent* event, PlayerId& id);
    Result DestroyPlayer(PlayerId id);

    // From a local player to a player of the session (kAllPlayers: every other player).
    // Guaranteed and plain sends go on the same ordered stream. Data up to kMaxMessageSize.
    Result Send(PlayerId from, PlayerId to, uint32_t flags, const void* data, size_t size);

    // The oldest message for `to` (in: 0 = any local player). Ok: `from`, `to`, `size` and
    // the buffer are set. BufferTooSmall: `size` is set to what the message needs and the
    // message stays queued. NoMessages: nothing waiting. Messages already queued can be
    // received after the session was lost.
    Result Receive(PlayerId& from, PlayerId& to, void* buffer, size_t& size);

    // The open session's description; its current player count follows arrivals and
    // departures. SessionLost (with the last known description) after the link went.
    Result GetSessionDesc(SessionDesc& desc) const;

    // Leaves the session: local players and their queues are dropped. Enumeration goes on.
    // While the link stands, the host is first told to destroy the players still here, and
    // Close waits until it has confirmed those and the ones destroyed before (at most
    // kLeaveWaitMs): a count read after Close, on any connection, no longer holds them.
    void Close();
    static constexpr int kLeaveWaitMs = 1000;

  private:
    struct Reply {
        FrameType type;
        std::vector<uint8_t> body;
    };

    bool onFrame(uint64_t connId, FrameType type, Body body);
    void onClosed(uint64_t connId);
    // Waits for the reply with `token`; nothing on time-out, loss or close (see `failure`).
    // Either way the request no longer awaits an answer.
    std::optional<Reply> waitReply(uint32_t token, Result& failure);

    const ClientOptions options_;
    asio::io_context io_;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work_;
    SessionEnumerator enumerator_;
    ReceiveQueues queues_;

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<asio::ip::tcp::endpoint> endpoints_;
    bool initialized_ = false;
    bool opening_ = false;
    std::shared_ptr<Connection> conn_;
    uint64_t connId_ = 0;
    bool open_ = false;
    bool lost_ = false;
    uint64_t epoch_ = 0;  // bumped by Close: waiters of an older session give up
    SessionDesc desc_;
    uint32_t nextToken_ = 1;
    std::map<uint32_t, Reply> replies_;
    // The requests waiting for their answer: the kind of reply each takes and, for a new
    // player, its receive event.
    struct Awaited {
        FrameType reply;
        AutoResetEvent* event;
    };
    std::map<uint32_t, Awaited> awaiting_;
    std::set<PlayerId> leaving_;  // destroyed here, not yet confirmed by the host

    std::thread thread_;  // last: started when everything else exists
};

}  // namespace playnet
