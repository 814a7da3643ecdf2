// Hall bots as real lobbies connect: one TCP connection and one player per bot, each from a
// loopback source address of its own group (20 bots per address, the halls' default limit per
// address). They speak playnet's frames directly on non-blocking sockets, so that a thousand of
// them need two reader threads (epoll) rather than a thread each: Hello, open, create the
// player, announce it once welcomed, heartbeat, and count every hall chat line received. A bot
// keeps the last group id granted to it and accepts every invitation by joining the group.
// Calls that change the set of bots (join, rejoin) and those that write for the driver (say,
// send, beat, leave) may come from different threads: the set is guarded.
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
    // Connects bot `index` again under its name and address (after it left): the new bot's
    // index, or -1. It announces itself once welcomed; this does not wait for that.
    int rejoin(int index);
    // A hall chat line from bot `index` (modulo the bots present).
    void say(int index, const std::string& text);
    // A lobby message from bot `index` to the server player.
    void send(int index, const std::vector<uint8_t>& message, bool guaranteed);
    // Bot `index` is welcomed, announced and its link open.
    bool present(int index) const;
    uint32_t playerId(int index) const;
    // The group id last granted to bot `index` (0: none yet).
    uint32_t grantedGroup(int index) const;
    int size() const;
    // Heartbeats for every bot; call at least every second.
    void beat();
    // Closes bot `index`'s connection (it leaves the hall).
    void leave(int index);
    uint32_t serverPlayer() const { return server_.load(); }
    int playerLeftSeen() const { return left_.load(); }
    uint64_t invitesAccepted() const { return invites_.load(); }
    void stop();

  private:
    struct Bot;
    // Opens bot's connection and sends its Hello, open and create; then its reader takes it.
    bool connectBot(Bot& bot);
    Bot* bot(int index) const;
    void read(int thread);
    void onReadable(Bot& bot, std::vector<uint32_t>& samples);
    void onMessage(Bot& bot, const uint8_t* data, size_t size, std::vector<uint32_t>& samples);
    // A lobby message from the bot to the server player.
    void sendFrom(Bot& bot, const std::vector<uint8_t>& message, bool guaranteed);
    static void beatOne(Bot& bot, const std::vector<uint8_t>& frame);
    static bool writeAll(Bot& bot, const std::vector<uint8_t>& bytes);
    static bool writeLocked(Bot& bot, const std::vector<uint8_t>& bytes);  // its lock held

    std::string address_;
    uint16_t port_;
    playnet::Guid hall_;
    Tally& tally_;
    mutable std::mutex botsMutex_;  // bots_ itself; each bot's writes have their own lock
    std::vector<std::unique_ptr<Bot>> bots_;
    int epoll_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::vector<std::thread> readers_;
    std::atomic<uint32_t> server_{0};
    std::atomic<int> welcomed_{0};
    std::atomic<uint64_t> infos_{0};
    std::atomic<int> left_{0};
    std::atomic<uint64_t> invites_{0};
};

}  // namespace fanout
