// The record of recent sign-ins.
#include "server/sign_ins.h"

#include <algorithm>

#include "server/login_policy.h"

namespace zrtserver {

std::string SignIns::key(const std::string& name, const std::string& address) {
    // Names are printable ASCII without spaces, so a space cannot be part of either.
    return lowerCase(name) + ' ' + address;
}

void SignIns::record(const std::string& name, const std::string& address, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (!barred_.empty() && barred_.count(lowerCase(name))) return;
    Clock::time_point& until = until_[key(name, address)];
    until = std::max(until, now + validFor_);
    if (until_.size() >= pruneAt_) {
        std::erase_if(until_, [&](const auto& e) { return e.second <= now; });
        pruneAt_ = std::max<size_t>(1024, until_.size() * 2);
    }
}

bool SignIns::vouches(const std::string& name, const std::string& address,
                      Clock::time_point now) const {
    std::lock_guard lock(mutex_);
    auto it = until_.find(key(name, address));
    return it != until_.end() && now < it->second;
}

void SignIns::recordLogin(const std::string& name, const std::string& address,
                          Clock::time_point now) {
    {
        std::lock_guard lock(mutex_);
        barred_.erase(lowerCase(name));
    }
    record(name, address, now);
}

void SignIns::revoke(const std::string& name) {
    std::string prefix = lowerCase(name) + ' ';
    std::lock_guard lock(mutex_);
    barred_.insert(lowerCase(name));
    std::erase_if(until_, [&](const auto& e) { return e.first.starts_with(prefix); });
}

size_t SignIns::size() const {
    std::lock_guard lock(mutex_);
    return until_.size();
}

}  // namespace zrtserver
