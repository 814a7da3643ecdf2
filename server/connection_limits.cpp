// Counting a port's connections, making room by closing the longest waiting one, and logging
// refusals.
#include "server/connection_limits.h"

#include "server/log.h"

namespace zrtserver {

namespace {
// Addresses whose last refusal is remembered for the log; beyond this, refusals are counted
// and summed up in one line per interval.
constexpr size_t kLoggedAddresses = 4096;
}  // namespace

ConnectionLimits::Ticket::~Ticket() {
    limits_.release(*this);
}

void ConnectionLimits::Ticket::setWaiting(bool waiting) {
    std::lock_guard lock(limits_.mutex_);
    if (!close_ || !counted_ || waiting_ == waiting) return;
    waiting_ = waiting;
    if (waiting)
        place_ = limits_.waiting_.insert(limits_.waiting_.end(), this);
    else
        limits_.waiting_.erase(place_);
}

ConnectionLimits::ConnectionLimits(std::string port, int total, int perAddress)
    : port_(std::move(port)), total_(total), perAddress_(perAddress) {}

std::shared_ptr<ConnectionLimits::Ticket> ConnectionLimits::admit(const std::string& address,
                                                                  std::function<void()> close) {
    std::function<void()> closeLongestWaiting;
    std::shared_ptr<Ticket> ticket;
    {
        std::lock_guard lock(mutex_);
        auto mine = byAddress_.find(address);
        if (mine != byAddress_.end() && mine->second >= perAddress_) {
            logRefusal(address, "the address holds its maximum of connections");
            return nullptr;
        }
        if (open_ >= total_) {
            if (waiting_.empty()) {
                logRefusal(address, "the port holds its maximum of connections, none of them idle");
                return nullptr;
            }
            Ticket& longest = *waiting_.front();
            closeLongestWaiting = longest.close_;
            forgetLocked(longest);
        }
        ++byAddress_[address];
        ++open_;
        ticket.reset(new Ticket(*this, address, std::move(close)));
        if (ticket->close_) {
            ticket->waiting_ = true;
            ticket->place_ = waiting_.insert(waiting_.end(), ticket.get());
        }
    }
    if (closeLongestWaiting) closeLongestWaiting();
    return ticket;
}

int ConnectionLimits::open() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void ConnectionLimits::release(Ticket& ticket) {
    std::lock_guard lock(mutex_);
    if (ticket.counted_) forgetLocked(ticket);
}

void ConnectionLimits::forgetLocked(Ticket& ticket) {
    ticket.counted_ = false;
    if (ticket.waiting_) {
        waiting_.erase(ticket.place_);
        ticket.waiting_ = false;
    }
    --open_;
    auto it = byAddress_.find(ticket.address_);
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
