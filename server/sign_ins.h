// SignIns: which lobby names signed in successfully from which peer address, and until when
// that vouches for them in the halls. A hall takes a player's name only when the account of
// that name signed in from the player's own address within the validity; a player keeps his
// name's sign-in fresh for as long as he stays in the halls, so that he may go back to the
// hall list and enter another hall.
//
// Thread-safe: the database port records logins from its workers, the halls ask on their own
// thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace zrtserver {

class SignIns {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SignIns(std::chrono::seconds validFor) : validFor_(validFor) {}

    // `name` signed in from `address` (or is in use there): vouched for until now + validity.
    void record(const std::string& name, const std::string& address,
                Clock::time_point now = Clock::now());
    bool vouches(const std::string& name, const std::string& address,
                 Clock::time_point now = Clock::now()) const;
    // An accepted login: lifts a bar (below) and records.
    void recordLogin(const std::string& name, const std::string& address,
                     Clock::time_point now = Clock::now());
    // The name vouches nowhere any more (its account was banned), and a stay in the halls
    // ending now does not renew it: only its next accepted login does.
    void revoke(const std::string& name);
    size_t size() const;

  private:
    static std::string key(const std::string& name, const std::string& address);

    const std::chrono::seconds validFor_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Clock::time_point> until_;
    std::unordered_set<std::string> barred_;  // lower-case names
    size_t pruneAt_ = 1024;
};

}  // namespace zrtserver
