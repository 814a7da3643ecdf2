// Connection: one TCP stream of the session protocol, used by the host and the client alike.
// It cuts the stream into frames, answers nothing itself but keeps the link alive: it sends a
// heartbeat every heartbeatMs and closes the link when nothing has been received for
// deadAfterMs (a peer that vanished without closing is noticed within deadAfterMs plus one
// check period). A frame must arrive whole within frameDeadlineMs of its first byte, so a peer
// cannot hold the link by trickling. Writes go through a queue bounded in bytes: frames are
// appended to one buffer and written together, so that a burst costs one write. A peer that
// stops reading until the queue overflows is cut off, and so is one that takes none of a write
// for writeStallMs. Frames that may be shed (a relay that matters only while fresh) are dropped
// instead of queued when the queue holds more than their bound. Garbage (a bad length prefix,
// or a frame the owner rejects) closes the link.
//
// The owner may pause reading (its own queue of the peer's work is full): the frames already
// received wait, the peer meets TCP's back-pressure, and the silence limit does not count the
// pause against it.
//
// Threads: the handlers run on the io_context's thread; Send, Queue, Close, SetSendQueueLimit
// and Pause/ResumeReading may be called from any thread, Flush on the io thread only.
#pragma once

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "playnet/frame.h"
#include "playnet/wire_messages.h"

namespace playnet {

struct LinkOptions {
    size_t sendQueueLimit = 1024 * 1024;  // bytes queued and not yet written
    int heartbeatMs = 2000;
    int deadAfterMs = 6000;
    int frameDeadlineMs = 10000;  // from a frame's first byte to its last
    int writeStallMs = 0;     // > 0: a write the peer takes no byte of for this long ends the link
    bool helloFirst = false;  // a heartbeat before the peer's Hello is garbage (host side)
};

enum class CloseReason { Local, PeerClosed, Silent, Garbage, Overflow, Error, Slow, Stalled };
constexpr size_t kCloseReasons = static_cast<size_t>(CloseReason::Stalled) + 1;  // the last
// The reason's name in a log line: "silent", "stalled"...
const char* CloseReasonName(CloseReason reason);

// What became of a frame handed to Connection::Queue.
enum class QueueResult { Queued, Shed, Closed };

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    // False from the frame handler: the frame is garbage; the connection closes.
    using FrameHandler = std::function<bool(FrameType type, Body body)>;
    using CloseHandler = std::function<void(CloseReason reason)>;

    Connection(asio::ip::tcp::socket socket, const LinkOptions& options);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Starts reading and the heartbeat. onClose runs exactly once, after the socket closed.
    void Start(FrameHandler onFrame, CloseHandler onClose);

    // Queues a whole encoded frame. False when closed or closing; an overflowing queue closes
    // the connection (reason Overflow) and returns false.
    bool Send(std::vector<uint8_t> frame);
    // Queues the frame `type`, `head`, `data` (copied once, into the queue) without starting
    // the write: the caller calls Flush on the io thread (several frames to many connections
    // then cost one hand-over). With `shedAbove` > 0 the frame is dropped (Shed: the link
    // stays) when more than that many bytes are queued already. An overflow closes as in Send.
    QueueResult Queue(uint8_t type, std::span<const uint8_t> head, std::span<const uint8_t> data,
                      size_t shedAbove = 0);
    // Io thread: starts writing what is queued, unless a write runs already.
    void Flush();
    // Queues a last frame (an Error frame), then closes once it is written.
    void SendAndClose(std::vector<uint8_t> frame, CloseReason reason);
    void Close(CloseReason reason = CloseReason::Local);
    // A new bound for the write queue (the host raises it once a session is open).
    void SetSendQueueLimit(size_t bytes);
    // Stops handing frames to the owner until ResumeReading.
    void PauseReading();
    void ResumeReading();

    bool IsOpen() const { return !closed_.load(); }
    uint64_t Id() const { return id_; }

  private:
    void startRead();
    void onRead(const asio::error_code& ec, size_t n);
    // Hands the complete frames received to the owner; reads on unless paused or closed.
    void handFrames();
    // Under mutex_: appends a frame; false when it would overflow (closing_ is then set).
    bool appendLocked(uint8_t type, std::span<const uint8_t> head, std::span<const uint8_t> data);
    void startWrite();
    void writeSome();
    void armTimer();
    void onTick();
    void finishClose(CloseReason reason);

    using Clock = std::chrono::steady_clock;

    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    const LinkOptions options_;
    const uint64_t id_;

    // Io thread only.
    FrameHandler onFrame_;
    CloseHandler onClose_;
    FrameDecoder decoder_;
    std::vector<uint8_t> readBuf_;
    std::vector<uint8_t> batch_;                   // frames being written
    size_t batchDone_ = 0;                         // of which written
    std::optional<Clock::time_point> writeSince_;  // a write under way, its last progress then
    Clock::time_point lastRecv_;
    Clock::time_point lastHeartbeat_;
    std::optional<Clock::time_point> partialSince_;  // a frame begun and not yet whole
    bool helloSeen_ = false;
    bool stalled_ = false;  // paused with frames left to hand over and no read running

    // Any thread, under mutex_.
    std::mutex mutex_;
    std::vector<uint8_t> queue_;  // whole frames, in order, not yet being written
    size_t queuedBytes_ = 0;      // queued plus being written
    size_t queueLimit_;
    bool writing_ = false;
    bool closing_ = false;  // SendAndClose: no more frames; close when written
    CloseReason closingReason_ = CloseReason::Local;

    std::atomic<bool> closed_{false};
    std::atomic<bool> paused_{false};
};

}  // namespace playnet
