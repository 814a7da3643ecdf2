// Throttle: an allowance of attempts per key (a peer address, an account, an e-mail address):
// a token bucket of `burst` attempts that regains one every `refill`. The account service
// keeps one each for failed logins and for new accounts.
//
// Memory stays bounded: a key whose bucket has filled up again is forgotten, and when
// kMaxKeys keys are remembered at once, any further key shares one common bucket.
//
// Thread-safe.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace zrtserver {

class Throttle {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kMaxKeys = 65536;

    Throttle(int burst, std::chrono::seconds refill);

    // True when `key` has an attempt left (nothing is taken).
    bool allows(const std::string& key, Clock::time_point now = Clock::now());
    // Takes one attempt of `key`; false (nothing taken) when none is left.
    bool take(const std::string& key, Clock::time_point now = Clock::now());
    // Returns an attempt taken earlier (it ended well and does not count).
    void giveBack(const std::string& key, Clock::time_point now = Clock::now());

    size_t keys() const;

  private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point last;
    };
    Bucket& bucketOf(const std::string& key, Clock::time_point now);
    void refill(Bucket& b, Clock::time_point now) const;

    const double burst_;
    const double perSecond_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    Bucket shared_;  // for keys beyond kMaxKeys
};

}  // namespace zrtserver
