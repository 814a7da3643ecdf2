// The framed, heartbeat-kept TCP link with its bounded write queue.
#include "playnet/connection.h"

#include <algorithm>

namespace playnet {
namespace {

std::atomic<uint64_t> nextConnectionId{1};
constexpr size_t kReadChunk = 16 * 1024;

}  // namespace

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

bool Connection::Send(std::vector<uint8_t> frame) {
    {
        std::lock_guard lock(mutex_);
        if (closed_ || closing_) return false;
        if (queuedBytes_ + frame.size() > queueLimit_) {
            closing_ = true;
        } else {
            queuedBytes_ += frame.size();
            queue_.push_back(std::move(frame));
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

void Connection::SendAndClose(std::vector<uint8_t> frame, CloseReason reason) {
    std::lock_guard lock(mutex_);
    if (closed_ || closing_) return;
    closing_ = true;
    closingReason_ = reason;
    queuedBytes_ += frame.size();
    queue_.push_back(std::move(frame));
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
        Close(ec == asio::error::eof ? CloseReason::PeerClosed : CloseReason::Error);
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
            batchBytes_ = 0;
            while (!queue_.empty()) {
                batchBytes_ += queue_.front().size();
                batch_.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
        }
    }
    if (closeNow) {
        Close(reason);
        return;
    }
    std::vector<asio::const_buffer> buffers;
    buffers.reserve(batch_.size());
    for (const auto& f : batch_) buffers.emplace_back(asio::buffer(f));
    asio::async_write(socket_, buffers,
                      [self = shared_from_this()](const asio::error_code& ec, size_t) {
                          if (ec) {
                              self->Close(CloseReason::Error);
                              return;
                          }
                          {
                              std::lock_guard lock(self->mutex_);
                              self->queuedBytes_ -= std::min(self->queuedBytes_, self->batchBytes_);
                          }
                          self->batch_.clear();
                          self->batchBytes_ = 0;
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
