// Background session enumeration.
#include "playnet/session_enumerator.h"

#include <utility>

#include "playnet/dialer.h"
#include "playnet/wire_messages.h"

namespace playnet {

SessionEnumerator::SessionEnumerator(asio::io_context& io, const LinkOptions& link, int refreshMs,
                                     int connectTimeoutMs)
    : io_(io),
      link_(link),
      refreshMs_(refreshMs),
      connectTimeoutMs_(connectTimeoutMs),
      timer_(io) {}

void SessionEnumerator::SetHost(const std::vector<asio::ip::tcp::endpoint>& endpoints) {
    {
        std::lock_guard lock(mutex_);
        if (endpoints == endpoints_) return;
        endpoints_ = endpoints;
        sessions_.clear();
        ++generation_;
        answered_ = false;
    }
    asio::post(io_, [this] {
        dropConnection();
        kick();
    });
}

std::vector<SessionDesc> SessionEnumerator::Enumerate(const Guid& application, int waitMs) {
    std::unique_lock lock(mutex_);
    if (!active_ || application != application_) {
        application_ = application;
        active_ = true;
        sessions_.clear();
        ++generation_;
        answered_ = false;
        asio::post(io_, [this] {
            kick();
            armTimer();
        });
    }
    if (waitMs > 0) {
        uint32_t gen = generation_;
        cv_.wait_for(lock, std::chrono::milliseconds(waitMs),
                     [&] { return answered_ || !active_ || gen != generation_; });
    }
    return sessions_;
}

void SessionEnumerator::Restart(const Guid& application, std::function<void()> firstAnswer) {
    bool started;
    uint32_t generation;
    {
        std::lock_guard lock(mutex_);
        started = active_;
        application_ = application;
        active_ = true;
        sessions_.clear();
        generation = ++generation_;
        answered_ = false;
    }
    {
        // Only the answer to the new question counts, not one to an earlier question that was
        // being stored meanwhile.
        std::lock_guard answerLock(firstAnswerMutex_);
        firstAnswer_ = std::move(firstAnswer);
        firstAnswerGeneration_ = generation;
    }
    asio::post(io_, [this, started] {
        kick();
        if (!started) armTimer();
    });
}

void SessionEnumerator::ForgetFirstAnswer() {
    std::lock_guard answerLock(firstAnswerMutex_);
    firstAnswer_ = nullptr;
}

void SessionEnumerator::Stop() {
    ForgetFirstAnswer();
    {
        std::lock_guard lock(mutex_);
        if (!active_) return;
        active_ = false;
        ++generation_;
    }
    cv_.notify_all();
    asio::post(io_, [this] {
        timer_.cancel();
        timerArmed_ = false;
        dropConnection();
    });
}

void SessionEnumerator::kick() {
    std::vector<asio::ip::tcp::endpoint> endpoints;
    EnumRequestFrame req;
    {
        std::lock_guard lock(mutex_);
        if (!active_) return;
        endpoints = endpoints_;
        req.token = generation_;
        req.application = application_;
    }
    if (conn_) {
        conn_->Send(req.Encode());
        return;
    }
    if (dialing_) return;
    dialing_ = true;
    Dial(io_, endpoints, connectTimeoutMs_, [this](std::optional<asio::ip::tcp::socket> socket) {
        dialing_ = false;
        if (!socket) {
            std::lock_guard lock(mutex_);
            sessions_.clear();  // the host cannot be reached: nothing is known
            return;
        }
        {
            std::lock_guard lock(mutex_);
            if (!active_) return;
        }
        conn_ = std::make_shared<Connection>(std::move(*socket), link_);
        uint64_t id = conn_->Id();
        conn_->Start([this, id](FrameType t, Body b) { return onFrame(id, t, b); },
                     [this, id](CloseReason) { onClosed(id); });
        conn_->Send(HelloFrame{}.Encode());
        kick();
    });
}

void SessionEnumerator::armTimer() {
    if (timerArmed_) return;
    timerArmed_ = true;
    timer_.expires_after(std::chrono::milliseconds(refreshMs_));
    timer_.async_wait([this](const asio::error_code& ec) {
        timerArmed_ = false;
        if (ec) return;
        {
            std::lock_guard lock(mutex_);
            if (!active_) return;
        }
        kick();
        armTimer();
    });
}

bool SessionEnumerator::onFrame(uint64_t connId, FrameType type, Body body) {
    if (!conn_ || conn_->Id() != connId) return false;
    switch (type) {
        case FrameType::Hello: {
            std::optional<HelloFrame> hello = HelloFrame::Decode(body);
            return hello && hello->version == kProtocolVersion;
        }
        case FrameType::EnumReply: {
            std::optional<EnumReplyFrame> reply = EnumReplyFrame::Decode(body);
            if (!reply) return false;
            uint32_t generation;
            {
                std::lock_guard lock(mutex_);
                generation = generation_;
                if (reply->token != generation_ || !active_) return true;  // an older question
                sessions_ = std::move(reply->sessions);
                answered_ = true;
            }
            cv_.notify_all();
            std::lock_guard answerLock(firstAnswerMutex_);
            if (firstAnswer_ && firstAnswerGeneration_ == generation)
                std::exchange(firstAnswer_, nullptr)();
            return true;
        }
        default:
            return false;  // an Error frame or anything a host does not send here
    }
}

void SessionEnumerator::onClosed(uint64_t connId) {
    if (!conn_ || conn_->Id() != connId) return;
    conn_.reset();
    std::lock_guard lock(mutex_);
    sessions_.clear();
}

void SessionEnumerator::dropConnection() {
    if (conn_) {
        conn_->Close(CloseReason::Local);
        conn_.reset();
    }
}

}  // namespace playnet
