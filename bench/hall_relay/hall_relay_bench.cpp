// Hall chat relay under load: one hall of 1000 bot players (a hall holds one player per
// connection: 25 bots of 40 playnet clients each, a reader thread per bot) against a real
// zrtserver process on 127.0.8.250. Each hall chat line is relayed to all 1000 players. The
// offered line rate rises step by step (3 s each); a step is held when every delivery arrived,
// nobody was disconnected and the deliveries kept pace with the offer. Then, at the highest
// held rate, 40 peers that stop reading (raw connections that keep their heartbeat but never
// read) join: they must be cut off by their bounded send queues while the others lose nothing.
// (To make room in the hall, whose limit is 1000 client players, one bot leaves first.) The
// bots do not sign in: the server runs with its sign-in check switched off, and with room for
// all these connections from one address.
//
// Bounded: at most 13 steps of 3 s plus 5 s to drain each, and 40 s for the slow reader.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/hall_fanout/tally.h"
#include "lobby/session/lobby_messages.h"
#include "playnet/client.h"
#include "playnet/frame.h"
#include "playnet/system_messages.h"
#include "playnet/wire_messages.h"
#include "tests/support/hall_bot.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kAddress = "127.0.8.250";
constexpr int kClients = 25;
constexpr int kPerClient = 40;
constexpr int kPlayers = kClients * kPerClient;
constexpr int kSenders = 10;
constexpr auto kStep = std::chrono::seconds(3);
constexpr auto kDrain = std::chrono::seconds(5);

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// What every reader shares: the step being measured and its counts.
struct Tally {
    std::atomic<int> step{-1};
    std::atomic<uint64_t> delivered{0};
    std::atomic<int64_t> lastNs{0};
    std::atomic<int> lost{0};  // players whose session was lost
    std::atomic<int> welcomed{0};
    std::atomic<uint64_t> infos{0};  // MSG_PLAYER_INFO relays received
    std::atomic<int> created{0};     // players created by others, seen by client 0's first player
    std::atomic<int> destroyed{0};   // and destroyed
    std::atomic<uint32_t> server{0};
    std::atomic<int> players{kPlayers};  // bot players now in the hall
    std::mutex mutex;
    std::vector<uint32_t> latencyUs;
};

class Bot {
  public:
    bool join(const playnet::Guid& hall, int index, Tally& tally) {
        for (int i = 0; i < kPerClient; ++i) {
            auto client = std::make_unique<playnet::Client>();
            if (client->InitializeConnection(kAddress) != playnet::Result::Ok) return false;
            if (client->Open(hall, zrt::kHallPassword) != playnet::Result::Ok) return false;
            playnet::PlayerId id = 0;
            char name[16];
            std::snprintf(name, sizeof name, "b%04d", index * kPerClient + i);
            if (client->CreatePlayer(name, &event_, id) != playnet::Result::Ok) return false;
            clients_.push_back(std::move(client));
            ids_.push_back(id);
            names_.push_back(name);
        }
        first_ = index == 0;
        reader_ = std::thread([this, &tally] { read(tally); });
        return true;
    }

    void announce(uint32_t server) {
        for (size_t i = 0; i < ids_.size(); ++i) {
            zrt::PlayerEntry e;
            e.id = ids_[i];
            e.name = names_[i];
            e.address = "127.0.0.1";
            zrt::Bytes info = zrt::encodePlayerInfo(e);
            clients_[i]->Send(ids_[i], server, playnet::kSendGuaranteed, info.data(), info.size());
        }
    }

    void say(uint32_t server, const std::string& text) {
        zrt::Bytes line = zrt::encodeChat({ids_[0], 0, text});
        clients_[0]->Send(ids_[0], server, 0, line.data(), line.size());
    }

    void stop() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
    }
    ~Bot() {
        stop();
        clients_.clear();  // before the event they set
    }

  private:
    void read(Tally& tally) {
        std::vector<uint8_t> buf(512);
        std::vector<uint32_t> samples;
        while (!stop_) {
            bool any = false;
            for (auto& client : clients_) any = drain(*client, buf, samples, tally) || any;
            if (!any) {
                flush(samples, tally);
                event_.wait(50);
            }
        }
        flush(samples, tally);
    }

    // Everything one client has queued; true when there was anything.
    bool drain(playnet::Client& client, std::vector<uint8_t>& buf, std::vector<uint32_t>& samples,
               Tally& tally) {
        bool any = false;
        for (;;) {
            playnet::PlayerId from = 0, to = 0;
            size_t size = buf.size();
            playnet::Result r = client.Receive(from, to, buf.data(), size);
            if (r == playnet::Result::BufferTooSmall) {
                buf.resize(size);
                continue;
            }
            if (r != playnet::Result::Ok) return any;
            any = true;
            if (from == playnet::kSystemPlayer) {
                auto sys = playnet::SystemMessage::Decode(buf.data(), size);
                if (!sys) continue;
                if (sys->type == playnet::kSysSessionLost) tally.lost++;
                if (first_ && to == ids_[0] && sys->type == playnet::kSysPlayerCreated)
                    tally.created++;
                if (first_ && to == ids_[0] && sys->type == playnet::kSysPlayerDestroyed)
                    tally.destroyed++;
                continue;
            }
            std::optional<uint32_t> code = zrt::messageCode(buf.data(), size);
            if (code == zrt::MSG_WELCOME) {
                tally.server = zrt::decodeWelcome(buf.data(), size).value_or(0);
                tally.welcomed++;
            } else if (code == zrt::MSG_PLAYER_INFO) {
                tally.infos++;
            } else if (code == zrt::MSG_CHAT) {
                auto chat = zrt::decodeChat(buf.data(), size);
                int step = 0;
                long long sent = 0;
                if (!chat || std::sscanf(chat->text.c_str(), "%d %lld", &step, &sent) != 2)
                    continue;
                if (step != tally.step.load()) continue;
                int64_t now = nowNs();
                samples.push_back(static_cast<uint32_t>((now - sent) / 1000));
                tally.delivered++;
                tally.lastNs = now;
                if (samples.size() >= 4096) flush(samples, tally);
            }
        }
    }

    static void flush(std::vector<uint32_t>& samples, Tally& tally) {
        if (samples.empty()) return;
        std::lock_guard lock(tally.mutex);
        tally.latencyUs.insert(tally.latencyUs.end(), samples.begin(), samples.end());
        samples.clear();
    }

    playnet::AutoResetEvent event_;  // shared by the bot's clients; outlives them
    std::vector<std::unique_ptr<playnet::Client>> clients_;
    std::vector<playnet::PlayerId> ids_;
    std::vector<std::string> names_;
    bool first_ = false;
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

using fanout::StepResult;
using fanout::summarize;

// Offers `linesPerSecond` hall lines for one step and waits (bounded) for their deliveries.
StepResult runStep(int step, int linesPerSecond, std::vector<std::unique_ptr<Bot>>& bots,
                   Tally& tally) {
    {
        std::lock_guard lock(tally.mutex);
        tally.latencyUs.clear();
    }
    tally.delivered = 0;
    tally.step = step;
    StepResult r;
    r.lines = linesPerSecond * static_cast<int>(kStep.count());
    r.expected = static_cast<uint64_t>(r.lines) * static_cast<uint64_t>(tally.players.load());
    int lostBefore = tally.lost.load();
    auto start = Clock::now();
    int64_t startNs = nowNs();
    for (int i = 0; i < r.lines; ++i) {
        std::this_thread::sleep_until(start +
                                      i * std::chrono::nanoseconds(1000000000LL / linesPerSecond));
        bots[static_cast<size_t>(i % kSenders)]->say(
            tally.server, std::to_string(step) + " " + std::to_string(nowNs()));
    }
    waitFor([&] { return tally.delivered.load() >= r.expected || tally.lost.load() > lostBefore; },
            std::chrono::duration_cast<std::chrono::seconds>(kDrain));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // readers flush their samples
    r.delivered = tally.delivered.load();
    r.lost = tally.lost.load() - lostBefore;
    double seconds = static_cast<double>(tally.lastNs.load() - startNs) / 1e9;
    r.achieved = seconds > 0 ? static_cast<double>(r.delivered) / seconds : 0;
    std::lock_guard lock(tally.mutex);
    summarize(r, tally.latencyUs, static_cast<double>(kStep.count()));
    return r;
}

void print(const StepResult& r, int linesPerSecond, int players) {
    std::printf(
        "%6d lines/s = %7d deliveries/s offered: %9llu of %9llu delivered, %8.0f/s, "
        "latency p50 %6.1f ms p99 %7.1f ms max %7.1f ms, %d players lost -> %s\n",
        linesPerSecond, linesPerSecond * players, static_cast<unsigned long long>(r.delivered),
        static_cast<unsigned long long>(r.expected), r.achieved, r.p50 / 1000.0, r.p99 / 1000.0,
        r.max / 1000.0, r.lost, r.held ? "held" : "NOT held");
    std::fflush(stdout);
}

// Peers that open the hall, each with its player, and then never read; they keep their
// heartbeat so that only their send queues can end them.
class DeafPeers {
  public:
    bool start(const playnet::Guid& hall, int players) {
        for (int i = 0; i < players; ++i) {
            int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            fds_.push_back(fd);
            int small = 4096;
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(playnet::kDefaultPort);
            ::inet_pton(AF_INET, kAddress, &a.sin_addr);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return false;
            send(fd, playnet::HelloFrame{}.Encode());
            send(fd, playnet::OpenRequestFrame{1, hall, zrt::kHallPassword}.Encode());
            send(fd, playnet::CreatePlayerFrame{2, "deaf" + std::to_string(i)}.Encode());
        }
        return true;
    }
    // Their heartbeats every 0.5 s from a thread of their own, so silence never ends them.
    void keepAlive() {
        beat_ = std::thread([this] {
            while (!stop_) {
                for (int fd : fds_)
                    send(fd,
                         playnet::EncodeFrame(static_cast<uint8_t>(playnet::FrameType::Heartbeat),
                                              std::span<const uint8_t>()));
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
            }
        });
    }
    ~DeafPeers() {
        stop_ = true;
        if (beat_.joinable()) beat_.join();
        for (int fd : fds_)
            if (fd >= 0) ::close(fd);
    }

  private:
    static void send(int fd, const std::vector<uint8_t>& frame) {
        (void)::send(fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    std::vector<int> fds_;
    std::atomic<bool> stop_{false};
    std::thread beat_;
};

// A fresh server and 1000 joined, announced bot players.
struct Env {
    zrttest::TempDir dir;
    std::unique_ptr<zrttest::ServerProcess> server;
    playnet::Guid hall;
    Tally tally;
    std::vector<std::unique_ptr<Bot>> bots;

    bool setUp() {
        server = std::make_unique<zrttest::ServerProcess>(
            kAddress, dir.path() + "/data",
            zrttest::testConfig("[halls]\nmessage_rate = 100000\nmessage_burst = 100000\n"
                                "require_sign_in = false\nmax_connections = 2000\n"
                                "max_connections_per_address = 2000\n"
                                "[[hall]]\nname = \"Bench Hall\"\nmax_players = 1001\n"));
        if (!server->start()) return false;
        std::vector<playnet::SessionDesc> halls = zrttest::listHalls(kAddress);
        if (halls.empty()) return false;
        hall = halls[0].instance;
        auto joinStart = Clock::now();
        // Each bot announces its players once they are welcomed, as a lobby does within the
        // hall's 10 s; each announcement is relayed to every player present so far.
        uint64_t expected = 0;
        for (int c = 0; c < kClients; ++c) {
            bots.push_back(std::make_unique<Bot>());
            if (!bots.back()->join(hall, c, tally)) return false;
            int present = (c + 1) * kPerClient;
            if (!waitFor([&] { return tally.welcomed.load() >= present; },
                         std::chrono::seconds(10)))
                return false;
            bots.back()->announce(tally.server);
            expected += static_cast<uint64_t>(kPerClient) * static_cast<uint64_t>(present - 1);
            if (!waitFor([&] { return tally.infos.load() >= expected; }, std::chrono::seconds(10)))
                return false;
        }
        std::printf("1000 players (1000 connections) joined and welcomed in %.1f s\n",
                    std::chrono::duration<double>(Clock::now() - joinStart).count());
        // A warm-up step.
        runStep(0, 10, bots, tally);
        return true;
    }
    ~Env() {
        for (auto& b : bots) b->stop();
        bots.clear();
        if (server) {
            std::string log = server->log();
            size_t left = 0;
            for (size_t at = log.find(" left ("); at != std::string::npos;
                 at = log.find(" left (", at + 1))
                ++left;
            int status = server->stop();
            std::printf("server: %zu players seen leaving in its log, exit status %d\n", left,
                        status);
        }
    }
};

}  // namespace

int main() {
    int held = 0;
    {
        Env env;
        if (!env.setUp()) {
            std::fprintf(stderr, "set-up failed\n");
            return 1;
        }
        const int rates[] = {20, 50, 100, 150, 200, 250, 300, 350, 400, 450, 500, 600};
        int step = 1;
        for (int rate : rates) {
            StepResult r = runStep(step++, rate, env.bots, env.tally);
            print(r, rate, kPlayers);
            if (!r.held) break;  // the step past the ceiling shows what happens there
            held = rate;
        }
        std::printf("highest held: %d lines/s = %d deliveries/s\n", held, held * kPlayers);
    }
    if (held == 0) return 0;

    // A fresh hall; one bot client leaves to make room (1000 client players at most) for a
    // deaf peers of as many players, which join while the hall chats at the held rate.
    Env env;
    if (!env.setUp()) return 1;
    Tally& tally = env.tally;
    env.bots.back()->stop();
    env.bots.pop_back();
    tally.players = kPlayers - kPerClient;
    waitFor([&] { return tally.destroyed.load() >= kPerClient; }, std::chrono::seconds(10));
    DeafPeers deaf;
    int createdBefore = tally.created.load();
    int destroyedBefore = tally.destroyed.load();
    if (!deaf.start(env.hall, kPerClient)) return 1;
    deaf.keepAlive();
    waitFor([&] { return tally.created.load() - createdBefore >= kPerClient; },
            std::chrono::seconds(10));
    auto start = Clock::now();
    bool cut = false;
    int step = 100;
    while (!cut && Clock::now() - start < std::chrono::seconds(40)) {
        StepResult r = runStep(step, held, env.bots, tally);
        cut = tally.destroyed.load() - destroyedBefore >= kPerClient;
        std::printf("  with a deaf peer (round %d): ", step++ - 99);
        print(r, held, tally.players.load());
    }
    std::printf("deaf peers %s after %.1f s; the %d others lost %d sessions\n",
                cut ? "cut off" : "NOT cut off",
                std::chrono::duration<double>(Clock::now() - start).count(), tally.players.load(),
                tally.lost.load());
    return 0;
}
