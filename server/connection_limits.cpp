// Counting a port's connections and logging refusals.
#include "server/connection_limits.h"

#include "server/log.h"

namespace zrtserver {

namespace {
// Addresses whose last refusal is remembered for the log; beyond this, refusals are counted
// and summed up in one line per interval.
constexpr size_t kLoggedAddresses = 4096;
}  // namespace

ConnectionLimits::ConnectionLimits(std::string port, int total, int perAddress)
    : port_(std::move(port)), total_(total), perAddress_(perAddress) {}

std::shared_ptr<void> ConnectionLimits::admit(const std::string& address) {
    std::lock_guard lock(mutex_);
    if (open_ >= total_) {
        logRefusal(address, "the port holds its maximum of connections");
        return nullptr;
    }
    int& mine = byAddress_[address];
    if (mine >= perAddress_) {
        logRefusal(address, "the address holds its maximum of connections");
        return nullptr;
    }
    ++mine;
    ++open_;
    // The ticket owns nothing (it points at the limits only to be non-null); its deleter gives
    // the place back.
    return std::shared_ptr<void>(static_cast<void*>(this),
                                 [this, address](void*) { release(address); });
}

int ConnectionLimits::open() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void ConnectionLimits::release(const std::string& address) {
    std::lock_guard lock(mutex_);
    --open_;
    auto it = byAddress_.find(address);
    if (it != byAddress_.end() && --it->second <= 0) byAddress_.erase(it);
}

void ConnectionLimits::logRefusal(const std::string& address, const char* why) {
    Clock::time_point now = Clock::now();
    auto it = lastLogged_.find(address);
    if (it != lastLogged_.end() && now - it->second < kLogInterval) return;
    if (it == lastLogged_.end() && lastLogged_.size() >= kLoggedAddresses) {
        std::erase_if(lastLogged_, [&](const auto& e) { return now - e.second >= kLogInterval; });
        if (lastLogged_.size() >= kLoggedAddresses) {
            ++unlogged_;
            return;
        }
    }
    lastLogged_[address] = now;
    std::string line = port_ + " port: connection from " + address + " refused: " + why + " (" +
                       std::to_string(open_) + " open, " + std::to_string(total_) + " at most, " +
                       std::to_string(perAddress_) + " per address)";
    if (unlogged_ > 0) {
        line += "; " + std::to_string(unlogged_) + " more refusals from other addresses";
        unlogged_ = 0;
    }
    logLine(line + "; further refusals of this address are not logged for a minute");
}

}  // namespace zrtserver
