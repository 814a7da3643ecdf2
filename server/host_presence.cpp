// The host's presence among the lobby hosts.
#include "server/host_presence.h"

#include "server/lobby_role.h"
#include "server/log.h"
#include "server/login_policy.h"

namespace zrtserver {

HostPresence::HostPresence(const std::string& url, std::string address, int capacity,
                           LobbyRole* lobby, SignIns* signIns)
    : directory_(url),
      address_(std::move(address)),
      capacity_(capacity),
      lobby_(lobby),
      signIns_(signIns),
      choice_(address_) {
    if (lobby_)
        lobby_->setAnnounceListener([this](const std::string& key) {
            std::lock_guard lock(mutex_);
            claims_.push_back(key);
        });
    thread_ = std::thread([this] { run(); });
    logLine("lobby host " + address_ + " shares its store with the other hosts");
}

HostPresence::~HostPresence() {
    stop();
}

void HostPresence::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (lobby_) lobby_->setAnnounceListener({});
}

std::string HostPresence::choice() const {
    std::lock_guard lock(mutex_);
    return choice_;
}

void HostPresence::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        tick();
        lock.lock();
        wake_.wait_for(lock, kInterval, [this] { return stopping_; });
    }
}

void HostPresence::tick() {
    int room = capacity_ - (lobby_ ? lobby_->connections() : 0);
    if (!directory_.record(address_, room)) logLine("lobby hosts: cannot record this host's room");
    if (lobby_) {
        // The names held are taken before the claims are written: every name held then was
        // claimed before (the halls queue a claim as they take the name), so none is mistaken
        // for another host's.
        std::vector<std::string> held = lobby_->heldNames().value_or(std::vector<std::string>{});
        std::vector<std::string> claims;
        {
            std::lock_guard lock(mutex_);
            claims.swap(claims_);
        }
        bool written = true;
        for (const std::string& key : claims) written = directory_.claim(key, address_) && written;
        if (written) {
            for (const std::string& key : directory_.claimedElsewhere(address_, held))
                lobby_->evict(key);
            for (const std::string& name : directory_.banned(held, utcNow())) {
                if (signIns_) signIns_->revoke(name);
                lobby_->kick(name);
            }
        }
    }
    std::optional<std::string> best = directory_.roomiest();
    std::lock_guard lock(mutex_);
    choice_ = best.value_or(address_);
}

}  // namespace zrtserver
