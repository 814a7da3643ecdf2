// SessionEnumerator: the background enumeration of a client. Once asked for an application's
// sessions it keeps a connection to the host and asks again every refresh period; each call
// returns the list of the latest answer at once (or after a short, bounded wait for the first
// answer). The list empties when the host cannot be reached. A restart forgets the list and asks
// at once, and can tell its caller when the answer is in.
#pragma once

#include <asio.hpp>
#include <condition_variable>
#include <functional>
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
    // Starts the application's enumeration afresh: the list empties, answers to earlier
    // questions are ignored and the host is asked at once. `firstAnswer` (may be empty) is
    // called once, on the io thread, when the new answer has been stored; it must not call
    // back into the enumerator.
    void Restart(const Guid& application, std::function<void()> firstAnswer);
    // `firstAnswer` is not called any more; no call of it is running when this returns.
    void ForgetFirstAnswer();
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

    // Taken while the restart's callback runs, so that forgetting it waits for the call.
    std::mutex firstAnswerMutex_;
    std::function<void()> firstAnswer_;
    uint32_t firstAnswerGeneration_ = 0;  // the restart's question it waits for
};

}  // namespace playnet
