// Hall chat fan-out as real lobbies connect: one hall of 1000 players, each on a connection of
// its own (20 per loopback source address, the halls' default per address), against a real
// zrtserver process; every hall chat line is relayed to all 1000. The offered line rate rises
// step by step (3 s each, then at most 5 s to drain); a step is held when every delivery
// arrived, nobody was cut off and the deliveries kept pace with the offer. Then overload: at
// twice the highest held rate, with a peer that never reads (one bot leaves to make room), for
// at most 30 s, followed by a step at the held rate that must hold again. Last, the same ramp
// through ENet (reliable packets to 1000 peers) as the reference, and the ratio.
//
// The server runs with the sign-in check off (the bots have no accounts) and room for 1100
// connections on the hall port; everything else is its default. The bench raises its own
// descriptor limit to the hard limit (it holds 1000 TCP and 1001 UDP sockets).
//
//   bench_hall_fanout [--rates 100,200,...] [--skip-enet]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <thread>

#include "bench/hall_fanout/enet_fanout.h"
#include "bench/hall_fanout/hall_bots.h"
#include "bench/support/descriptor_limit.h"
#include "lobby/session/lobby_messages.h"
#include "playnet/client.h"
#include "playnet/frame.h"
#include "playnet/wire_messages.h"
#include "tests/support/hall_bot.h"

namespace {

using namespace fanout;

constexpr const char* kServer = "127.0.8.250";
constexpr const char* kEnetRelay = "127.0.9.250";
constexpr uint16_t kEnetPort = 47700;
constexpr int kPlayers = 1000;
constexpr int kSenders = 40;  // each well within the halls' default 100 lines/s
constexpr auto kStep = std::chrono::seconds(3);
constexpr int kDrainSeconds = 5;

bool waitFor(const std::function<bool()>& done, int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

using Say = std::function<void(int sender, const std::string& text)>;

// Offers `rate` lines per second for one step and waits (bounded) for their deliveries.
StepResult runStep(int step, int rate, const Say& say, Tally& tally) {
    {
        std::lock_guard lock(tally.mutex);
        tally.latencyUs.clear();
    }
    tally.delivered = 0;
    tally.step = step;
    StepResult r;
    r.lines = rate * static_cast<int>(kStep.count());
    r.expected = static_cast<uint64_t>(r.lines) * static_cast<uint64_t>(tally.receivers.load());
    int lostBefore = tally.lost.load();
    auto start = Clock::now();
    int64_t startNs = nowNs();
    for (int i = 0; i < r.lines; ++i) {
        std::this_thread::sleep_until(start + i * std::chrono::nanoseconds(1000000000LL / rate));
        say(i % kSenders, lineText(step, nowNs()));
    }
    waitFor([&] { return tally.delivered.load() >= r.expected; }, kDrainSeconds);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // readers flush their samples
    r.delivered = tally.delivered.load();
    r.lost = tally.lost.load() - lostBefore;
    double seconds = static_cast<double>(tally.lastNs.load() - startNs) / 1e9;
    r.achieved = seconds > 0 ? static_cast<double>(r.delivered) / seconds : 0;
    std::lock_guard lock(tally.mutex);
    summarize(r, tally.latencyUs, static_cast<double>(kStep.count()));
    return r;
}

void print(const char* who, const StepResult& r, int rate, int receivers) {
    std::printf(
        "%-7s %5d lines/s = %7d deliveries/s offered: %9llu of %9llu delivered, %8.0f/s, "
        "latency p50 %7.1f ms p99 %7.1f ms max %7.1f ms, %d lost -> %s\n",
        who, rate, rate * receivers, static_cast<unsigned long long>(r.delivered),
        static_cast<unsigned long long>(r.expected), r.achieved, r.p50 / 1000.0, r.p99 / 1000.0,
        r.max / 1000.0, r.lost, r.held ? "held" : "NOT held");
    std::fflush(stdout);
}

// Runs the rates in order until one is not held; the highest held rate (0: none).
int ramp(const char* who, const std::vector<int>& rates, const Say& say, Tally& tally,
         int firstStep) {
    int held = 0;
    int step = firstStep;
    for (int rate : rates) {
        StepResult r = runStep(step++, rate, say, tally);
        print(who, r, rate, tally.receivers.load());
        if (!r.held) break;  // the step past the ceiling shows what happens there
        held = rate;
    }
    return held;
}

// A peer that opens the hall with a player and then never reads; it keeps its heartbeat so
// that only what the server does about its backlog can end it.
class DeafPeer {
  public:
    bool start(const playnet::Guid& hall, uint32_t server) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int small = 4096;
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in local{}, remote{};
        local.sin_family = remote.sin_family = AF_INET;
        ::inet_pton(AF_INET, "127.77.0.1", &local.sin_addr);
        ::inet_pton(AF_INET, kServer, &remote.sin_addr);
        remote.sin_port = htons(playnet::kDefaultPort);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0)
            return false;
        send(playnet::HelloFrame{}.Encode());
        send(playnet::OpenRequestFrame{1, hall, zrt::kHallPassword}.Encode());
        send(playnet::CreatePlayerFrame{2, "deaf"}.Encode());
        // It reads up to its player's id and announces itself, as a lobby does; then never.
        uint32_t id = readPlayerId();
        if (id == 0) return false;
        zrt::PlayerEntry e;
        e.id = id;
        e.name = "deaf";
        e.address = "127.77.0.1";
        zrt::Bytes info = zrt::encodePlayerInfo(e);
        send(playnet::MessageFrame::EncodeFrom(playnet::FrameType::Send, id, server,
                                               playnet::kSendGuaranteed, info.data(), info.size()));
        beat_ = std::thread([this] {
            while (!stop_) {
                send(playnet::EncodeFrame(static_cast<uint8_t>(playnet::FrameType::Heartbeat),
                                          std::span<const uint8_t>()));
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
            }
        });
        return true;
    }
    ~DeafPeer() {
        stop_ = true;
        if (beat_.joinable()) beat_.join();
        if (fd_ >= 0) ::close(fd_);
    }

  private:
    // Reads frame by frame (bounded wait) until the reply that grants its player.
    uint32_t readPlayerId() {
        timeval limit{5, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        for (;;) {
            uint8_t head[5];
            if (::recv(fd_, head, 5, MSG_WAITALL) != 5) return 0;
            uint32_t length = head[0] | head[1] << 8 | head[2] << 16 | uint32_t(head[3]) << 24;
            if (length == 0 || length > playnet::kMaxFrameLength) return 0;
            std::vector<uint8_t> body(length - 1);
            if (!body.empty() && ::recv(fd_, body.data(), body.size(), MSG_WAITALL) !=
                                     static_cast<ssize_t>(body.size()))
                return 0;
            if (head[4] == static_cast<uint8_t>(playnet::FrameType::CreatePlayerReply)) {
                auto reply = playnet::CreatePlayerReplyFrame::Decode(body);
                return reply ? reply->player : 0;
            }
        }
    }
    void send(const std::vector<uint8_t>& frame) {
        (void)::send(fd_, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread beat_;
};

size_t countLines(const std::string& log, const std::string& what) {
    size_t n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
}

// The hall run: ramp, then overload with a deaf peer, then recovery. The highest held rate.
int runHall(const std::vector<int>& rates) {
    zrttest::TempDir dir;
    zrttest::ServerProcess server(
        kServer, dir.path() + "/data",
        zrttest::testConfig("[halls]\nrequire_sign_in = false\nmax_connections = 1100\n"
                            "[[hall]]\nname = \"Bench Hall\"\nmax_players = 1001\n"));
    if (!server.start()) {
        std::fprintf(stderr, "cannot start zrtserver\n");
        return -1;
    }
    std::vector<playnet::SessionDesc> halls = zrttest::listHalls(kServer);
    if (halls.empty()) return -1;
    Tally tally;
    HallBots bots(kServer, playnet::kDefaultPort, halls[0].instance, tally);
    std::atomic<bool> beating{true};
    std::thread beat([&] {
        while (beating) {
            bots.beat();
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    });
    auto stopBeat = [&] {
        beating = false;
        if (beat.joinable()) beat.join();
    };
    auto joinStart = Clock::now();
    if (!bots.join(kPlayers, 1, "b", 90)) {
        std::fprintf(stderr, "the bots did not all join\n");
        stopBeat();
        return -1;
    }
    std::printf("hall: %d players on %d connections joined and announced in %.1f s\n", kPlayers,
                kPlayers, std::chrono::duration<double>(Clock::now() - joinStart).count());
    Say say = [&](int sender, const std::string& text) { bots.say(sender, text); };
    runStep(0, 20, say, tally);  // warm-up
    int held = ramp("hall", rates, say, tally, 1);
    std::printf("hall: highest held %d lines/s = %d deliveries/s\n", held, held * kPlayers);

    if (held > 0) {
        // Overload: one bot leaves, a deaf peer takes its place, and the hall chats at twice
        // the held rate.
        bots.leave(kPlayers - 1);
        waitFor([&] { return bots.playerLeftSeen() >= kPlayers - 1; }, 10);
        int leftBefore = bots.playerLeftSeen();
        DeafPeer deaf;
        if (!deaf.start(halls[0].instance, bots.serverPlayer()))
            std::printf("overload: the deaf peer could not join\n");
        std::this_thread::sleep_for(std::chrono::seconds(1));
        auto start = Clock::now();
        int lostBefore = tally.lost.load();
        bool cut = false;
        int step = 100;
        while (!cut && Clock::now() - start < std::chrono::seconds(30)) {
            StepResult r = runStep(step++, 2 * held, say, tally);
            print("overload", r, 2 * held, tally.receivers.load());
            cut = bots.playerLeftSeen() > leftBefore;
        }
        std::printf("overload: deaf peer %s after %.1f s; the %d readers lost %d links\n",
                    cut ? "cut off" : "NOT cut off",
                    std::chrono::duration<double>(Clock::now() - start).count(),
                    tally.receivers.load(), tally.lost.load() - lostBefore);
        StepResult r = runStep(step++, held, say, tally);
        print("recover", r, held, tally.receivers.load());
    }
    stopBeat();
    bots.stop();
    std::string log = server.log();
    std::printf("server log: %zu lines on shed hall chat, %zu players seen leaving\n",
                countLines(log, "hall chat"), countLines(log, " left ("));
    // The shedding lines themselves, as the operator sees them.
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.find("hall chat") != std::string::npos) std::printf("  | %s\n", line.c_str());
    server.stop();
    return held;
}

int runEnet(const std::vector<int>& rates) {
    Tally tally;
    EnetFanout enet(tally);
    if (!enet.start(kEnetRelay, kEnetPort, kPlayers, 60)) {
        std::fprintf(stderr, "the ENet clients did not all connect\n");
        return -1;
    }
    std::printf("enet: %d receivers connected\n", kPlayers);
    Say say = [&](int, const std::string& text) { enet.say(text); };
    runStep(0, 20, say, tally);  // warm-up
    int held = ramp("enet", rates, say, tally, 1);
    std::printf("enet: highest held %d lines/s = %d deliveries/s\n", held, held * kPlayers);
    enet.stop();
    return held;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--enet-relay") == 0)
        return runEnetRelay(argv[2], static_cast<uint16_t>(std::atoi(argv[3])), std::atoi(argv[4]));
    std::vector<int> rates = {25, 50, 100, 200, 300, 400, 500, 600, 700, 800, 1000, 1200, 1500};
    bool enet = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--skip-enet") == 0) {
            enet = false;
        } else if (std::strcmp(argv[i], "--rates") == 0 && i + 1 < argc) {
            rates.clear();
            std::stringstream in(argv[++i]);
            for (std::string r; std::getline(in, r, ',');) rates.push_back(std::stoi(r));
        }
    }
    std::printf("descriptor limit raised to %llu\n", benchproc::raiseDescriptorLimit());
    int hall = runHall(rates);
    if (hall < 0) return 1;
    if (!enet) return 0;
    int reference = runEnet(rates);
    if (reference < 0) return 1;
    std::printf("ratio: the hall holds %d lines/s, ENet %d lines/s: %.2f times\n", hall, reference,
                reference > 0 ? static_cast<double>(hall) / reference : 0.0);
    return 0;
}
