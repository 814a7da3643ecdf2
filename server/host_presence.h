// HostPresence: this lobby host's part among several that share one PostgreSQL store. Every
// kInterval, on a thread of its own, it records the room this host has (the hall connections
// it can still take), writes the lobby names its halls took, retires here the holders of names
// that entered a hall on another host since, takes banned players out of the halls (a ban may
// be given on any host), and picks the live host with the most room for the version reply.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/host_directory.h"
#include "server/sign_ins.h"

namespace zrtserver {

class LobbyRole;

class HostPresence {
  public:
    static constexpr auto kInterval = std::chrono::seconds(1);

    // `address`: what the version reply names for this host. `lobby` may be null (no halls).
    HostPresence(const std::string& url, std::string address, int capacity, LobbyRole* lobby,
                 SignIns* signIns);
    ~HostPresence();
    HostPresence(const HostPresence&) = delete;
    HostPresence& operator=(const HostPresence&) = delete;

    // Ends the thread. Idempotent.
    void stop();
    // The database and lobby host a new client is sent to. Thread-safe.
    std::string choice() const;

  private:
    void run();
    void tick();

    HostDirectory directory_;
    const std::string address_;
    const int capacity_;
    LobbyRole* lobby_;
    SignIns* signIns_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::string choice_;
    std::vector<std::string> claims_;  // names the halls took, not yet written
    std::thread thread_;
};

}  // namespace zrtserver
