// The token bucket behind the lobby's per-client message rate.
#include "server/message_bucket.h"

#include <algorithm>

namespace zrtserver {

MessageBucket::MessageBucket(int ratePerSecond, int burst, Clock::time_point now)
    : rate_(std::max(1, ratePerSecond)), burst_(std::max(1, burst)), tokens_(burst_), last_(now) {}

MessageBucket::Verdict MessageBucket::take(Clock::time_point now) {
    if (now > last_) {
        std::chrono::duration<double> elapsed = now - last_;
        tokens_ = std::min(burst_, tokens_ + elapsed.count() * rate_);
        last_ = now;
    }
    if (tokens_ >= 1.0) {
        tokens_ -= 1.0;
        return Verdict::Accept;
    }
    ++dropped_;
    if (!overdrawn_ || now - lastDrop_ > kQuietGap) {
        overdrawn_ = true;
        overdrawnSince_ = now;
    }
    lastDrop_ = now;
    return now - overdrawnSince_ > kStrikeWindow ? Verdict::Disconnect : Verdict::Drop;
}

}  // namespace zrtserver
