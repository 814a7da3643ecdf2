// Per-key token buckets.
#include "server/throttle.h"

#include <algorithm>

namespace zrtserver {

Throttle::Throttle(int burst, std::chrono::seconds refill)
    : burst_(std::max(1, burst)),
      perSecond_(1.0 / static_cast<double>(std::max<int64_t>(1, refill.count()))) {
    shared_.tokens = burst_;
    shared_.last = Clock::now();
}

void Throttle::refill(Bucket& b, Clock::time_point now) const {
    if (now <= b.last) return;
    std::chrono::duration<double> elapsed = now - b.last;
    b.tokens = std::min(burst_, b.tokens + elapsed.count() * perSecond_);
    b.last = now;
}

Throttle::Bucket& Throttle::bucketOf(const std::string& key, Clock::time_point now) {
    auto it = buckets_.find(key);
    if (it != buckets_.end()) {
        refill(it->second, now);
        return it->second;
    }
    if (buckets_.size() >= kMaxKeys) {
        // Keys whose buckets are full again carry nothing worth keeping.
        for (auto it2 = buckets_.begin(); it2 != buckets_.end();) {
            refill(it2->second, now);
            it2 = it2->second.tokens >= burst_ ? buckets_.erase(it2) : std::next(it2);
        }
        if (buckets_.size() >= kMaxKeys) {
            refill(shared_, now);
            return shared_;
        }
    }
    return buckets_[key] = Bucket{burst_, now};
}

bool Throttle::allows(const std::string& key, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto it = buckets_.find(key);
    if (it == buckets_.end()) return buckets_.size() < kMaxKeys || shared_.tokens >= 1.0;
    refill(it->second, now);
    return it->second.tokens >= 1.0;
}

bool Throttle::take(const std::string& key, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    Bucket& b = bucketOf(key, now);
    if (b.tokens < 1.0) return false;
    b.tokens -= 1.0;
    return true;
}

void Throttle::giveBack(const std::string& key, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    auto it = buckets_.find(key);
    Bucket& b = it != buckets_.end() ? it->second : shared_;
    refill(b, now);
    b.tokens = std::min(burst_, b.tokens + 1.0);
    if (it != buckets_.end() && b.tokens >= burst_) buckets_.erase(it);
}

size_t Throttle::keys() const {
    std::lock_guard lock(mutex_);
    return buckets_.size();
}

}  // namespace zrtserver
