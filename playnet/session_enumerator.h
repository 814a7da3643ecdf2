// SessionEnumerator: the background enumeration of a client. Once asked for an application's
// sessions it keeps a connection to the host and asks again every refresh period; each call
// returns the list of the latest answer at once (or after a short, bounded wait for the first
// answer). The list empties when the host cannot be reached.
#pragma once

#include <asio.hpp>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "playnet/connection.h"
#include "playnet/session_desc.h"

namespace playnet {

class SessionEnumerator {
public:
    SessionEnumerator(asio::io_context& io, const LinkOptions& link, int refreshMs,
                      int connectTimeoutMs);
    SessionEnumerator(const SessionEnumerator&) = delete;
    SessionEnumerator& operator=(const SessionEnumerator&) = delete;

    // A new host: drops the connection to the old one and the list.
    void SetHost(const std::vector<asio::ip::tcp::endpoint>& endpoints);
    // Starts (or switches to) the application's enumeration and returns what is known.
    // waitMs > 0: waits up to that long for the first answer of this enumeration.
    std::vector<SessionDesc> Enumerate(const Guid& application, int waitMs);
    void Stop();

private:
    void kick();  // io thread: connect or ask again
    void armTimer();
    bool onFrame(uint64_t connId, FrameType type, Body body);
    void onClosed(uint64_t connId);
    void dropConnection();  // io thread

    asio::io_context& io_;
    const LinkOptions link_;
    const int refreshMs_;
    const int connectTimeoutMs_;
    asio::steady_timer timer_;

    // Io thread only.
    std::shared_ptr<Connection> conn_;
    bool dialing_ = false;
    bool timerArmed_ = false;

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<asio::ip::tcp::endpoint> endpoints_;
    Guid application_;
    bool active_ = false;
    uint32_t generation_ = 0;  // the token of the current enumeration's requests
    bool answered_ = false;
    std::vector<SessionDesc> sessions_;
};

}  // namespace playnet
