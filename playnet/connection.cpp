// The framed, heartbeat-kept TCP link with its bounded write queue.
#include "playnet/connection.h"

#include <algorithm>

namespace playnet {
namespace {

std::atomic<uint64_t> nextConnectionId{1};
constexpr size_t kReadChunk = 16 * 1024;
// Write buffers up to this size are kept for the next batch.
constexpr size_t kKeptBatch = 64 * 1024;

// Why a failed read or write ends the link. A reset or a broken pipe is a peer that closed
// with our data unread: it left, like one that said so.
CloseReason reasonOf(const asio::error_code& ec) {
    bool left = ec == asio::error::eof || ec == asio::error::connection_reset ||
                ec == asio::error::broken_pipe;
    return left ? CloseReason::PeerClosed : CloseReason::Error;
}

}  // namespace

const char* CloseReasonName(CloseReason reason) {
    switch (reason) {
        case CloseReason::Local:
            return "closed here";
        case CloseReason::PeerClosed:
            return "closed by the peer";
        case CloseReason::Silent:
            return "silent";
        case CloseReason::Garbage:
            return "garbage";
        case CloseReason::Overflow:
            return "overflow";
        case CloseReason::Error:
            return "error";
        case CloseReason::Slow:
            return "slow frame";
        case CloseReason::Stalled:
            return "stalled";
    }
    return "?";
}

Connection::Connection(asio::ip::tcp::socket socket, const LinkOptions& options)
    : socket_(std::move(socket)),
      timer_(socket_.get_executor()),
      options_(options),
      id_(nextConnectionId++),
      queueLimit_(options.sendQueueLimit) {
    asio::error_code ec;
    socket_.set_option(asio::ip::tcp::no_delay(true), ec);
}

void Connection::Start(FrameHandler onFrame, CloseHandler onClose) {
    asio::post(socket_.get_executor(), [self = shared_from_this(), onFrame = std::move(onFrame),
                                        onClose = std::move(onClose)]() mutable {
        self->onFrame_ = std::move(onFrame);
        self->onClose_ = std::move(onClose);
        if (self->closed_) {
            // Closed before it started: the close handler still runs once.
            if (self->onClose_) {
                auto h = std::move(self->onClose_);
                self->onClose_ = nullptr;
                h(CloseReason::Local);
            }
            return;
        }
        self->readBuf_.resize(kReadChunk);
        self->lastRecv_ = self->lastHeartbeat_ = Clock::now();
        self->startRead();
        self->armTimer();
    });
}

bool Connection::appendLocked(uint8_t type, std::span<const uint8_t> head,
                              std::span<const uint8_t> data) {
    size_t length = 1 + head.size() + data.size();
    if (queuedBytes_ + kFramePrefixSize + length > queueLimit_) {
        closing_ = true;
        return false;
    }
    queuedBytes_ += kFramePrefixSize + length;
    const uint8_t prefix[5] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(length >> 16),
                               static_cast<uint8_t>(length >> 24), type};
    queue_.insert(queue_.end(), prefix, prefix + 5);
    queue_.insert(queue_.end(), head.begin(), head.end());
    queue_.insert(queue_.end(), data.begin(), data.end());
    return true;
}

bool Connection::Send(std::vector<uint8_t> frame) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || closing_) return false;
        if (queuedBytes_ + frame.size() > queueLimit_) {
            closing_ = true;
        } else {
            queuedBytes_ += frame.size();
            queue_.insert(queue_.end(), frame.begin(), frame.end());
            if (!writing_) {
                writing_ = true;
                asio::post(socket_.get_executor(),
                           [self = shared_from_this()] { self->startWrite(); });
            }
            return true;
        }
    }
    Close(CloseReason::Overflow);
    return false;
}

QueueResult Connection::Queue(uint8_t type, std::span<const uint8_t> head,
                              std::span<const uint8_t> data, size_t shedAbove) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || closing_) return QueueResult::Closed;
        if (shedAbove > 0 && queuedBytes_ > shedAbove) return QueueResult::Shed;
        if (appendLocked(type, head, data)) return QueueResult::Queued;
    }
    Close(CloseReason::Overflow);
    return QueueResult::Closed;
}

void Connection::Flush() {
    {
        std::lock_guard lock(mutex_);
        if (writing_ || queue_.empty() || closed_) return;
        writing_ = true;
    }
    startWrite();
}

void Connection::SendAndClose(std::vector<uint8_t> frame, CloseReason reason) {
    std::lock_guard lock(mutex_);
    if (closed_ || closing_) return;
    closing_ = true;
    closingReason_ = reason;
    queuedBytes_ += frame.size();
    queue_.insert(queue_.end(), frame.begin(), frame.end());
    if (!writing_) {
        writing_ = true;
        asio::post(socket_.get_executor(), [self = shared_from_this()] { self->startWrite(); });
    }
}

void Connection::Close(CloseReason reason) {
    if (closed_.exchange(true)) return;
    asio::post(socket_.get_executor(),
               [self = shared_from_this(), reason] { self->finishClose(reason); });
}

void Connection::SetSendQueueLimit(size_t bytes) {
    std::lock_guard lock(mutex_);
    queueLimit_ = bytes;
}

void Connection::PauseReading() {
    paused_ = true;
}

void Connection::ResumeReading() {
    if (!paused_.exchange(false)) return;
    asio::post(socket_.get_executor(), [self = shared_from_this()] {
        if (!self->stalled_ || self->closed_) return;
        self->stalled_ = false;
        self->handFrames();
    });
}

void Connection::finishClose(CloseReason reason) {
    asio::error_code ec;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    socket_.close(ec);
    timer_.cancel();
    {
        std::lock_guard lock(mutex_);
        queue_.clear();
        queuedBytes_ = 0;
    }
    onFrame_ = nullptr;
    if (onClose_) {
        auto h = std::move(onClose_);
        onClose_ = nullptr;
        h(reason);
    }
}

void Connection::startRead() {
    socket_.async_read_some(
        asio::buffer(readBuf_),
        [self = shared_from_this()](const asio::error_code& ec, size_t n) { self->onRead(ec, n); });
}

void Connection::onRead(const asio::error_code& ec, size_t n) {
    if (closed_) return;
    if (ec) {
        Close(reasonOf(ec));
        return;
    }
    lastRecv_ = Clock::now();
    decoder_.Append(readBuf_.data(), n);
    handFrames();
}

void Connection::handFrames() {
    bool handed = false;
    for (;;) {
        if (paused_) {
            stalled_ = true;
            return;
        }
        uint8_t type = 0;
        Body body;
        FrameDecoder::Status st = decoder_.Next(type, body);
        if (st == FrameDecoder::Status::NeedMore) break;
        if (st == FrameDecoder::Status::Bad) {
            Close(CloseReason::Garbage);
            return;
        }
        handed = true;
        if (type == static_cast<uint8_t>(FrameType::Heartbeat)) {
            if (options_.helloFirst && !helloSeen_) {
                Close(CloseReason::Garbage);
                return;
            }
            continue;
        }
        if (type == static_cast<uint8_t>(FrameType::Hello)) helloSeen_ = true;
        if (!onFrame_ || !onFrame_(static_cast<FrameType>(type), body)) {
            Close(CloseReason::Garbage);
            return;
        }
        if (closed_) return;
    }
    // A frame left unfinished starts its deadline; one begun after a whole frame starts anew.
    if (decoder_.Buffered() == 0) {
        partialSince_.reset();
    } else if (handed || !partialSince_) {
        partialSince_ = Clock::now();
    }
    startRead();
}

void Connection::startWrite() {
    if (closed_) return;
    bool closeNow = false;
    CloseReason reason = CloseReason::Local;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) {
            writing_ = false;
            if (!closing_) return;
            // Every frame is out: the last frame of SendAndClose has been written.
            closeNow = true;
            reason = closingReason_;
        } else {
            batch_.swap(queue_);  // queue_ takes the written batch's storage, cleared
        }
    }
    if (closeNow) {
        Close(reason);
        return;
    }
    batchDone_ = 0;
    writeSince_ = Clock::now();
    writeSome();
}

// Writes the batch piece by piece, so that the stall check sees each piece taken.
void Connection::writeSome() {
    socket_.async_write_some(asio::buffer(batch_.data() + batchDone_, batch_.size() - batchDone_),
                             [self = shared_from_this()](const asio::error_code& ec, size_t n) {
                                 if (ec) {
                                     self->Close(reasonOf(ec));
                                     return;
                                 }
                                 self->batchDone_ += n;
                                 self->writeSince_ = Clock::now();
                                 if (self->batchDone_ < self->batch_.size()) {
                                     self->writeSome();
                                     return;
                                 }
                                 self->writeSince_.reset();
                                 {
                                     std::lock_guard lock(self->mutex_);
                                     self->queuedBytes_ -=
                                         std::min(self->queuedBytes_, self->batch_.size());
                                 }
                                 // A burst's buffer is not kept: a thousand idle links would hold
                                 // it all.
                                 if (self->batch_.capacity() > kKeptBatch) {
                                     self->batch_ = {};
                                 } else {
                                     self->batch_.clear();
                                 }
                                 self->startWrite();
                             });
}

void Connection::armTimer() {
    int tick = std::clamp(options_.heartbeatMs / 4, 10, 500);
    timer_.expires_after(std::chrono::milliseconds(tick));
    timer_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
        if (!ec) self->onTick();
    });
}

void Connection::onTick() {
    if (closed_) return;
    Clock::time_point now = Clock::now();
    // While paused we do not read: the silence is ours, not the peer's.
    if (stalled_) lastRecv_ = now;
    if (now - lastRecv_ > std::chrono::milliseconds(options_.deadAfterMs)) {
        Close(CloseReason::Silent);
        return;
    }
    if (options_.writeStallMs > 0 && writeSince_ &&
        now - *writeSince_ > std::chrono::milliseconds(options_.writeStallMs)) {
        Close(CloseReason::Stalled);
        return;
    }
    if (!stalled_ && partialSince_ &&
        now - *partialSince_ > std::chrono::milliseconds(options_.frameDeadlineMs)) {
        Close(CloseReason::Slow);
        return;
    }
    if (now - lastHeartbeat_ >= std::chrono::milliseconds(options_.heartbeatMs)) {
        lastHeartbeat_ = now;
        Send(EncodeFrame(static_cast<uint8_t>(FrameType::Heartbeat), Body{}));
    }
    armTimer();
}

}  // namespace playnet
