// ConnectionLimits: how many connections one port holds at once, in total and from one peer
// address. A connection is admitted with a ticket that it holds while it lives; a refused one
// is closed at once. Refusals are logged once per address and interval, so that a flood of
// them cannot flood the log too.
//
// Thread-safe: the version and database ports admit on the I/O thread, the hall port on the
// playnet host's thread; tickets may be dropped on any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace zrtserver {

class ConnectionLimits {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kLogInterval = std::chrono::seconds(60);

    // `port`: a name for the log ("version", "database", "halls").
    ConnectionLimits(std::string port, int total, int perAddress);

    // A ticket to hold while the connection lives, or nullptr when the port holds its total
    // or the address its share.
    std::shared_ptr<void> admit(const std::string& address);

    int open() const;
    int total() const { return total_; }
    int perAddress() const { return perAddress_; }

  private:
    void release(const std::string& address);
    void logRefusal(const std::string& address, const char* why);

    const std::string port_;
    const int total_;
    const int perAddress_;

    mutable std::mutex mutex_;
    int open_ = 0;
    std::unordered_map<std::string, int> byAddress_;
    std::unordered_map<std::string, Clock::time_point> lastLogged_;
    uint64_t unlogged_ = 0;  // refusals not logged one by one since the last summary
};

}  // namespace zrtserver
