// ENet reference: the relay process and the receiving client hosts.
#include "bench/hall_fanout/enet_fanout.h"

#include <enet/enet.h>
#include <signal.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <mutex>

#include "lobby/session/lobby_messages.h"

extern char** environ;

namespace fanout {

namespace {

std::atomic<bool> relayStop{false};

bool waitUntil(const std::function<bool()>& done, int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

int runEnetRelay(const std::string& address, uint16_t port, int peers) {
    std::signal(SIGTERM, [](int) { relayStop = true; });
    if (enet_initialize() != 0) return 1;
    ENetAddress a{};
    enet_address_set_host_ip(&a, address.c_str());
    a.port = port;
    ENetHost* host = enet_host_create(&a, static_cast<size_t>(peers), 1, 0, 0);
    if (!host) return 1;
    ENetEvent ev;
    while (!relayStop) {
        int r = enet_host_service(host, &ev, 10);
        while (r > 0) {
            if (ev.type == ENET_EVENT_TYPE_RECEIVE) {
                // One packet shared by every peer's queue, as playnet's host should.
                ENetPacket* out = enet_packet_create(ev.packet->data, ev.packet->dataLength,
                                                     ENET_PACKET_FLAG_RELIABLE);
                enet_host_broadcast(host, 0, out);
                enet_packet_destroy(ev.packet);
            }
            r = enet_host_check_events(host, &ev);
        }
    }
    enet_host_destroy(host);
    enet_deinitialize();
    return 0;
}

struct EnetFanout::Client {
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    bool connected = false;
    bool gone = false;
    std::mutex mutex;  // the source alone is used from two threads
};

EnetFanout::EnetFanout(Tally& tally) : tally_(tally) {
    enet_initialize();
}

EnetFanout::~EnetFanout() {
    stop();
    for (auto& c : clients_) enet_host_destroy(c->host);
    if (source_) enet_host_destroy(source_->host);
    for (int fd : epoll_)
        if (fd >= 0) ::close(fd);
    enet_deinitialize();
}

void EnetFanout::stop() {
    stop_ = true;
    for (auto& t : threads_)
        if (t.joinable()) t.join();
    threads_.clear();
    if (relay_ > 0) {
        ::kill(relay_, SIGTERM);
        int status = 0;
        ::waitpid(relay_, &status, 0);
        relay_ = -1;
    }
}

bool EnetFanout::start(const std::string& address, uint16_t port, int receivers,
                       int timeoutSeconds) {
    std::string portText = std::to_string(port), peersText = std::to_string(receivers + 16);
    std::string self = "/proc/self/exe";
    char* argv[] = {self.data(),
                    const_cast<char*>("--enet-relay"),
                    const_cast<char*>(address.c_str()),
                    portText.data(),
                    peersText.data(),
                    nullptr};
    if (::posix_spawn(&relay_, self.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ENetAddress a{};
    enet_address_set_host_ip(&a, address.c_str());
    a.port = port;
    for (int t = 0; t < 2; ++t) epoll_[t] = ::epoll_create1(EPOLL_CLOEXEC);
    for (int i = 0; i <= receivers; ++i) {
        auto c = std::make_unique<Client>();
        c->host = enet_host_create(nullptr, 1, 1, 0, 0);
        if (!c->host) return false;
        c->peer = enet_host_connect(c->host, &a, 1, 0);
        if (i == receivers) {
            source_ = std::move(c);
            break;
        }
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.ptr = c.get();
        ::epoll_ctl(epoll_[i % 2], EPOLL_CTL_ADD, c->host->socket, &ev);
        clients_.push_back(std::move(c));
    }
    for (int t = 0; t < 2; ++t) threads_.emplace_back([this, t] { serve(t); });
    bool ok = waitUntil([&] { return connected_.load() >= receivers + 1; }, timeoutSeconds);
    tally_.receivers = receivers;
    return ok;
}

void EnetFanout::say(const std::string& text) {
    zrt::Bytes line = zrt::encodeChat({1, 0, text});
    std::lock_guard lock(source_->mutex);
    enet_peer_send(source_->peer, 0,
                   enet_packet_create(line.data(), line.size(), ENET_PACKET_FLAG_RELIABLE));
    enet_host_flush(source_->host);
}

void EnetFanout::serve(int thread) {
    std::vector<uint32_t> samples;
    epoll_event events[64];
    auto serveOne = [&](Client& c) {
        ENetEvent ev;
        int r = enet_host_service(c.host, &ev, 0);
        while (r > 0) {
            switch (ev.type) {
                case ENET_EVENT_TYPE_CONNECT:
                    c.connected = true;
                    connected_++;
                    break;
                case ENET_EVENT_TYPE_DISCONNECT:
                    if (!c.gone) tally_.lost++;
                    c.gone = true;
                    break;
                case ENET_EVENT_TYPE_RECEIVE:
                    if (&c != source_.get() && ev.packet->dataLength > 14)
                        tally_.received(reinterpret_cast<const char*>(ev.packet->data + 12),
                                        ev.packet->dataLength - 12, samples);
                    enet_packet_destroy(ev.packet);
                    break;
                default:
                    break;
            }
            r = enet_host_service(c.host, &ev, 0);
        }
    };
    auto lastSweep = Clock::now();
    while (!stop_) {
        int n = ::epoll_wait(epoll_[thread], events, 64, 5);
        for (int i = 0; i < n; ++i) serveOne(*static_cast<Client*>(events[i].data.ptr));
        if (n <= 0) tally_.flush(samples);
        // Every host now and then: connects, acknowledgements, pings and resends run there.
        if (Clock::now() - lastSweep > std::chrono::milliseconds(50)) {
            lastSweep = Clock::now();
            for (size_t i = static_cast<size_t>(thread); i < clients_.size(); i += 2)
                serveOne(*clients_[i]);
            if (thread == 0 && source_) {
                std::lock_guard lock(source_->mutex);
                serveOne(*source_);
            }
        }
    }
    tally_.flush(samples);
}

}  // namespace fanout
