// SessionReceiver: the receive loop, the drain and the stop hand-shake.
#include "lobby/session/session_receiver.h"

#include <chrono>
#include <new>

#include "lobby/session/lobby_messages.h"
#include "playnet/session_desc.h"

namespace zrt {

namespace {

constexpr size_t kInitialBuffer = 512;

uint32_t systemType(const uint8_t* data) {
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
           uint32_t(data[3]) << 24;
}

// The lobby takes application messages from its hall's server player alone. Until the welcome
// has named that player, only a welcome sent by the player it names passes.
bool fromServerPlayer(uint32_t serverPlayer, uint32_t from, const uint8_t* data, size_t size) {
    if (serverPlayer != 0) return from == serverPlayer;
    const std::optional<uint32_t> named = decodeWelcome(data, size);
    return named && *named == from;
}

}  // namespace

SessionReceiver::SessionReceiver(playnet::Client& client, const LobbySession& session,
                                 SessionDispatcher& dispatcher)
    : client_(client), session_(session), dispatcher_(dispatcher) {}

SessionReceiver::~SessionReceiver() {
    StopSessionReceiver();
}

bool SessionReceiver::StartSessionReceiver() {
    if (thread_.joinable()) return false;
    stop_ = false;
    ended_ = false;
    endedEvent_.reset();
    receiveEvent_.reset();
    thread_ = std::thread([this] { run(); });
    return true;
}

void SessionReceiver::StopSessionReceiver(int waitMs) {
    if (!thread_.joinable()) return;
    stop_ = true;
    receiveEvent_.set();
    // The loop looks at the stop flag at least every kRefreshIdleMs, and the SessionUi never
    // blocks, so it ends well within the wait. Should it not, it is joined all the same: a
    // thread left running would outlive the tables and the dispatcher it works on.
    endedEvent_.wait(waitMs);
    thread_.join();
}

void SessionReceiver::run() {
    using Clock = std::chrono::steady_clock;
    bool pending = false;  // refresh requests wait since pendingSince
    Clock::time_point pendingSince = Clock::now();
    // An own player kept from an earlier run may have messages waiting already.
    bool messages = session_.ownPlayerId != 0;
    while (!stop_) {
        if (!messages) messages = receiveEvent_.wait(kRefreshIdleMs);
        if (stop_) break;
        if (!messages) {
            dispatcher_.FlushRefresh();
            pending = false;
            continue;
        }
        messages = false;
        // Until the own id is known the messages stay queued; wake() brings us back.
        if (session_.ownPlayerId == 0) continue;
        if (drain() == DispatchResult::Stop) break;
        if (!dispatcher_.pendingRefresh().any()) continue;
        const Clock::time_point now = Clock::now();
        if (!pending) {
            pending = true;
            pendingSince = now;
        } else if (now - pendingSince >= std::chrono::milliseconds(kRefreshMaxDelayMs)) {
            dispatcher_.FlushRefresh();
            pending = false;
        }
    }
    ended_ = true;
    endedEvent_.set();
}

DispatchResult SessionReceiver::drain() {
    if (buffer_.empty()) buffer_.resize(kInitialBuffer);
    while (!stop_) {
        playnet::PlayerId from = 0;
        playnet::PlayerId to = 0;  // any local player
        size_t size = buffer_.size();
        const playnet::Result result = client_.Receive(from, to, buffer_.data(), size);
        if (result == playnet::Result::BufferTooSmall) {
            // The message stays queued; grow to what it needs and take it again.
            if (size <= buffer_.size()) return DispatchResult::Continue;
            try {
                buffer_.resize(size);
            } catch (const std::bad_alloc&) {
                return DispatchResult::Continue;
            }
            continue;
        }
        if (result != playnet::Result::Ok) return DispatchResult::Continue;  // NoMessages too
        if (size <= 3) continue;
        if (from != playnet::kSystemPlayer &&
            !fromServerPlayer(session_.serverPlayerId, from, buffer_.data(), size))
            continue;
        const DispatchResult dispatched =
            from == playnet::kSystemPlayer
                ? dispatcher_.DispatchSystemMessage(systemType(buffer_.data()))
                : dispatcher_.DispatchMessage(buffer_.data(), size);
        if (dispatched == DispatchResult::Stop) return DispatchResult::Stop;
    }
    return DispatchResult::Stop;
}

}  // namespace zrt
