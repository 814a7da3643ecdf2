// The reference: the same hall chat fan-out done by ENet (Debian's libenet), reliable packets.
// The relay is a process of its own (this program run with --enet-relay), as zrtserver is:
// every packet a peer sends is broadcast, reliable, to every peer. The receivers are ENet
// client hosts, one peer each, served by two threads that wait on their sockets (epoll); the
// lines come from one more client host, the source.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/hall_fanout/tally.h"

namespace fanout {

// The relay's main: serves until SIGTERM. 0 on a clean end.
int runEnetRelay(const std::string& address, uint16_t port, int peers);

class EnetFanout {
  public:
    explicit EnetFanout(Tally& tally);
    ~EnetFanout();
    EnetFanout(const EnetFanout&) = delete;
    EnetFanout& operator=(const EnetFanout&) = delete;

    // Starts the relay process at address:port and connects `receivers` clients and the
    // source (bounded wait). False on failure.
    bool start(const std::string& address, uint16_t port, int receivers, int timeoutSeconds);
    // Sends one line from the source (the calling thread must be the only one to call it).
    void say(const std::string& text);
    void stop();

  private:
    struct Client;
    void serve(int thread);

    Tally& tally_;
    pid_t relay_ = -1;
    std::vector<std::unique_ptr<Client>> clients_;
    std::unique_ptr<Client> source_;
    int epoll_[2] = {-1, -1};
    std::atomic<bool> stop_{false};
    std::atomic<int> connected_{0};
    std::vector<std::thread> threads_;
};

}  // namespace fanout
