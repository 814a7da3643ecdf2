// Hall bots as real lobbies connect: one TCP connection and one player per bot, each from a
// loopback source address of its own group (20 bots per address, the halls' default limit per
// address). They speak playnet's frames directly on non-blocking sockets, so that a thousand of
// them need two reader threads (epoll) rather than a thread each: Hello, open, create the
// player, announce it once welcomed, heartbeat, and count every hall chat line received.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/hall_fanout/tally.h"
#include "playnet/guid.h"

namespace fanout {

class HallBots {
  public:
    // `server`: the hall port's address; bots bind to 127.<net>.x.y.
    HallBots(std::string server, uint16_t port, const playnet::Guid& hall, Tally& tally);
    ~HallBots();
    HallBots(const HallBots&) = delete;
    HallBots& operator=(const HallBots&) = delete;

    // Connects `count` bots (named <prefix>NNNN) from 127.<net>.*.*, and waits (bounded) until
    // each is welcomed and every announcement has reached every bot. False on failure.
    bool join(int count, int net, const std::string& prefix, int timeoutSeconds);
    // A hall chat line from bot `index` (modulo the bots present).
    void say(int index, const std::string& text);
    // Heartbeats for every bot; call at least every second.
    void beat();
    // Closes bot `index`'s connection (it leaves the hall).
    void leave(int index);
    uint32_t serverPlayer() const { return server_.load(); }
    int playerLeftSeen() const { return left_.load(); }
    void stop();

  private:
    struct Bot;
    void read(int thread);
    void onReadable(Bot& bot, std::vector<uint32_t>& samples);
    void onMessage(Bot& bot, const uint8_t* data, size_t size, std::vector<uint32_t>& samples);
    static bool writeAll(Bot& bot, const std::vector<uint8_t>& bytes);

    std::string address_;
    uint16_t port_;
    playnet::Guid hall_;
    Tally& tally_;
    std::vector<std::unique_ptr<Bot>> bots_;
    int epoll_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::vector<std::thread> readers_;
    std::atomic<uint32_t> server_{0};
    std::atomic<int> welcomed_{0};
    std::atomic<uint64_t> infos_{0};
    std::atomic<int> left_{0};
};

}  // namespace fanout
