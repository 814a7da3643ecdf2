// MessageBucket: the per-client send allowance of the lobby role, a token bucket refilled at
// a steady rate up to a burst. A client that overdraws it has messages dropped; one that
// keeps overdrawing for a whole strike window is to be disconnected.
#pragma once

#include <chrono>
#include <cstdint>

namespace zrtserver {

class MessageBucket {
  public:
    using Clock = std::chrono::steady_clock;

    enum class Verdict { Accept, Drop, Disconnect };

    MessageBucket(int ratePerSecond, int burst, Clock::time_point now);

    // Takes one message's token. Drop when none is left; Disconnect when the client has kept
    // overdrawing for longer than kStrikeWindow (drops with no quiet second between them).
    Verdict take(Clock::time_point now);

    uint64_t dropped() const { return dropped_; }

    static constexpr auto kStrikeWindow = std::chrono::seconds(10);
    static constexpr auto kQuietGap = std::chrono::seconds(1);

  private:
    double rate_;
    double burst_;
    double tokens_;
    Clock::time_point last_;
    bool overdrawn_ = false;
    Clock::time_point overdrawnSince_{};
    Clock::time_point lastDrop_{};
    uint64_t dropped_ = 0;
};

}  // namespace zrtserver
