// Attacks as load. One zrtserver with its default limits (and the interactive password hash);
// a good client that signs in, asks for the version and the ladder, logs in, chats in a hall
// and sends a newcomer into another, over and over; and, one after the other, the attacks the
// server is hardened against, each from 1000 hostile connections (one per source address
// 127.1.x.y, so that only the ports' totals hold them back):
//
//   version idle     1000 connections to the version port that say nothing
//   database slow    1000 logins trickled a byte a second
//   database guess   900 wrong-password logins at once on the good player's account
//   halls deaf       1000 hall connections asking for the session list every 10 ms, never reading
//   halls trickle    1000 hall connections trickling a frame a byte a second
//   halls flood      one signed-in client sending 3000 chat lines to the server player and
//                    then 3000 messages past it, as fast as it can
//
// For each: the server's resident memory and descriptors 3 s into the attack, how many hostile
// connections it still holds, its CPU share and the good client's latency per exchange during
// the 5 s that follow (p50, max, failures). The attackers run on the same machine, so on a
// small one they take CPU from the server too. Bounded: every phase is 8 s plus at most 10 s
// to wind down.
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/descriptor_limit.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "playnet/frame.h"
#include "tests/support/hall_bot.h"
#include "tests/support/raw_peer.h"

namespace {

using Clock = std::chrono::steady_clock;
using zrttest::RawPeer;
constexpr const char* kAddress = "127.0.9.250";
constexpr int kHostile = 1000;
constexpr auto kSettle = std::chrono::seconds(3);
constexpr auto kMeasure = std::chrono::seconds(5);

std::string hostileSource(int i) {
    return "127.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
}

// The server process as the kernel sees it.
struct Footprint {
    long rssKb = 0;
    int descriptors = 0;
    long tcpPages = 0;      // TCP socket memory of the whole machine, in pages
    double cpuSeconds = 0;  // the server's user and system time so far
};

Footprint measure(pid_t pid) {
    Footprint f;
    const std::string proc = "/proc/" + std::to_string(pid);
    std::ifstream status(proc + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) f.rssKb = std::stol(line.substr(6));
    if (DIR* d = opendir((proc + "/fd").c_str())) {
        while (dirent* e = readdir(d)) f.descriptors += e->d_name[0] != '.' ? 1 : 0;
        closedir(d);
    }
    std::ifstream sockstat("/proc/net/sockstat");
    for (std::string line; std::getline(sockstat, line);) {
        size_t at = line.find(" mem ");
        if (line.rfind("TCP:", 0) == 0 && at != std::string::npos)
            f.tcpPages = std::stol(line.substr(at + 5));
    }
    // utime and stime are the 14th and 15th fields, after the parenthesised command name.
    std::ifstream statFile(proc + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14) ticks += std::stol(field);
    f.cpuSeconds = static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return f;
}

// One line of figures: the footprint `atSettle` into the phase, the server's CPU share over
// the measured window (from `atSettle` to `atEnd`), and the good client's times meanwhile.
void report(const std::string& phase, const std::string& detail, const Footprint& atSettle,
            const Footprint& atEnd, const std::string& good) {
    const double window = std::chrono::duration<double>(kMeasure).count();
    std::printf(
        "%-15s %s: server %ld KiB resident, %d descriptors, %.0f%% CPU; TCP memory %ld "
        "pages;%s\n",
        phase.c_str(), detail.c_str(), atSettle.rssKb, atSettle.descriptors,
        100.0 * (atEnd.cpuSeconds - atSettle.cpuSeconds) / window, atSettle.tcpPages, good.c_str());
    std::fflush(stdout);
}

// The good client's exchanges and their times.
class GoodClient {
  public:
    GoodClient(zrttest::HallServer& server, std::string password)
        : server_(server), password_(std::move(password)) {}

    bool enter() {
        return zrttest::signIn(kAddress, server_.dataDir(), "newcomer") &&
               bot_.enter(server_, "Open Hall", "good");
    }

    // One loop per kind of exchange, so that one refused or slow exchange (a login behind the
    // guesses, a newcomer refused by a full port) never holds up the measure of the others.
    void start() {
        loop([this](int) { version(); });
        loop([this](int) { ladder(); });
        loop([this](int) { login(); });
        loop([this](int n) { chat(n); });
        loop([this](int) { newcomer(); });
    }
    void stop() {
        stop_ = true;
        for (std::thread& t : threads_) t.join();
        threads_.clear();
    }
    void reset() {
        std::lock_guard lock(mutex_);
        for (auto& k : kinds_) k.ms.clear(), k.failures = 0;
    }
    std::string report() {
        std::lock_guard lock(mutex_);
        std::string out;
        for (auto& k : kinds_) {
            std::sort(k.ms.begin(), k.ms.end());
            char line[128];
            if (k.ms.empty())
                std::snprintf(line, sizeof line, " %s: none done, %d failed;", k.name, k.failures);
            else
                std::snprintf(
                    line, sizeof line, " %s %zu x p50 %.0f ms max %.0f ms%s;", k.name, k.ms.size(),
                    k.ms[k.ms.size() / 2], k.ms.back(),
                    k.failures ? (", " + std::to_string(k.failures) + " failed").c_str() : "");
            out += line;
        }
        return out;
    }

  private:
    struct Kind {
        const char* name;
        std::vector<double> ms;
        int failures = 0;
    };
    void loop(std::function<void(int)> exchange) {
        threads_.emplace_back([this, exchange = std::move(exchange)] {
            for (int n = 0; !stop_; ++n) {
                exchange(n);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    }
    void version() {
        timed(0, [&] {
            auto r = zrttest::askFrom("127.0.0.1", kAddress, zrt::kVersionPort,
                                      zrt::encodeVersionRequest(zrt::kVersionTag));
            return r && r->size() > 81;
        });
    }
    void ladder() {
        timed(1, [&] {
            auto r = zrttest::askFrom("127.0.0.1", kAddress, zrt::kDatabasePort,
                                      zrt::encodeLadderRequest());
            return r && !zrt::decodeLadderReply(r->data(), r->size()).empty();
        });
    }
    void login() {
        timed(2, [&] {
            auto r = zrttest::askFrom(
                "127.0.0.1", kAddress, zrt::kDatabasePort,
                zrt::encodeLoginRequest(
                    {"good", zrt::newAccountStats(1, 1, 2026, 1, 1), 1, 0, password_}));
            auto d = r ? zrt::decodeLoginReply(r->data(), r->size()) : std::nullopt;
            return d && d->status == zrt::kLoginAccepted;
        });
        // A login hashes: a player does not sign in every 50 ms.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    void chat(int n) {
        timed(3, [&] {
            std::string marker = "m" + std::to_string(n);
            return bot_.say(marker) && bot_.until(bot_.id(), marker).has_value();
        });
    }
    void newcomer() {
        timed(4, [&] {
            zrttest::HallBot newcomer;
            return newcomer.join(kAddress, "Amateur Hall", "newcomer") &&
                   newcomer.awaitWelcome() != 0 && newcomer.requestState().has_value();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    void timed(size_t kind, const std::function<bool()>& exchange) {
        auto t0 = Clock::now();
        bool ok = exchange();
        double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        std::lock_guard lock(mutex_);
        if (ok)
            kinds_[kind].ms.push_back(ms);
        else
            ++kinds_[kind].failures;
    }

    zrttest::HallServer& server_;
    std::string password_;
    zrttest::HallBot bot_;
    std::mutex mutex_;
    Kind kinds_[5] = {
        {"version", {}}, {"ladder", {}}, {"login", {}}, {"hall chat", {}}, {"hall entry", {}}};
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

// The hostile connections of one attack, driven from one thread.
struct Attack {
    const char* name;
    int port;
    std::function<void(RawPeer&)> open;            // right after connecting
    std::function<void(RawPeer&, int tick)> tick;  // every 10 ms
};

// Connections the server still holds: a closed one reads as end of stream (or an error).
int stillOpen(std::vector<RawPeer>& peers) {
    int open = 0;
    for (RawPeer& p : peers) {
        pollfd pf{p.fd(), POLLRDHUP, 0};
        if (p.fd() >= 0 && ::poll(&pf, 1, 0) == 0) ++open;
    }
    return open;
}

void run(const Attack& attack, pid_t pid, GoodClient& good, int count = kHostile) {
    std::vector<RawPeer> peers(static_cast<size_t>(count));
    int connected = 0;
    for (int i = 0; i < count; ++i) {
        if (!peers[static_cast<size_t>(i)].connect(hostileSource(i), kAddress, attack.port, 4096))
            continue;
        ++connected;
        attack.open(peers[static_cast<size_t>(i)]);
    }
    std::atomic<bool> done{false};
    std::thread driver([&] {
        for (int t = 0; !done; ++t) {
            if (attack.tick)
                for (RawPeer& p : peers) attack.tick(p, t);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    std::this_thread::sleep_for(kSettle);
    Footprint atSettle = measure(pid);
    int held = stillOpen(peers);
    good.reset();
    std::this_thread::sleep_for(kMeasure);
    Footprint atEnd = measure(pid);
    std::string goodReport = good.report();
    done = true;
    driver.join();
    report(attack.name,
           std::to_string(connected) + " hostile, " + std::to_string(held) + " held after 3 s",
           atSettle, atEnd, goodReport);
}

}  // namespace

int main() {
    benchproc::raiseDescriptorLimit();

    zrttest::HallServer server(kAddress, "[accounts]\npassword_hash = \"interactive\"\n");
    if (!server.start() || !zrttest::signIn(kAddress, server.dataDir(), "good")) {
        std::fprintf(stderr, "cannot start zrtserver and sign in\n");
        return 1;
    }
    pid_t pid = server.pid();
    GoodClient good(server, zrttest::mailedPassword(server.dataDir(), "good").value_or(""));
    if (!good.enter()) {
        std::fprintf(stderr, "the good client cannot enter a hall\n");
        return 1;
    }
    good.start();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Footprint calm = measure(pid);
    good.reset();
    std::this_thread::sleep_for(kMeasure);
    report("no attack", "0 hostile", calm, measure(pid), good.report());

    const int hall = playnet::kDefaultPort;
    const playnet::Guid app = zrttest::kHallApp;
    const std::vector<uint8_t> hello = playnet::HelloFrame{}.Encode();
    const std::vector<uint8_t> ask = playnet::EnumRequestFrame{1, app}.Encode();
    const std::vector<uint8_t> halfLogin(10, 1);
    const std::vector<Attack> attacks = {
        {"version idle", zrt::kVersionPort, [](RawPeer&) {}, nullptr},
        {"database slow", zrt::kDatabasePort, [&](RawPeer& p) { p.send(halfLogin); },
         [](RawPeer& p, int t) {
             if (t % 100 == 0) p.send({'x'});
         }},
        {"halls deaf", hall, [&](RawPeer& p) { p.send(hello); },
         [&](RawPeer& p, int) { p.send(ask); }},
        {"halls trickle", hall, [&](RawPeer& p) { p.send(hello); },
         [&](RawPeer& p, int t) {
             if (t % 100 == 0) p.send({ask[static_cast<size_t>(t / 100) % ask.size()]});
         }},
    };
    for (const Attack& a : attacks) run(a, pid, good);

    // Wrong passwords at once on the good player's account, each from an address of its own.
    std::string guess = "guess";
    run({"database guess", zrt::kDatabasePort,
         [&](RawPeer& p) {
             p.send(zrt::encodeLoginRequest(
                 {"good", zrt::newAccountStats(1, 1, 2026, 1, 1), 1, 0, guess}));
         },
         nullptr},
        pid, good, 900);

    // One signed-in client floods: chat lines to the server player, then messages past it.
    zrttest::HallBot flooder, victim;
    if (flooder.enter(server, "Open Hall", "flooder") &&
        victim.enter(server, "Open Hall", "victim")) {
        good.reset();
        auto t0 = Clock::now();
        zrt::Bytes left = zrt::encodePlayerLeft(victim.id());
        for (int i = 0; i < 3000; ++i) flooder.say("flood " + std::to_string(i));
        for (int i = 0; i < 3000; ++i) flooder.sendTo(victim.id(), left);
        double sendMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        std::this_thread::sleep_for(kSettle);
        Footprint atSettle = measure(pid);
        good.reset();
        std::this_thread::sleep_for(kMeasure);
        Footprint atEnd = measure(pid);
        std::string goodReport = good.report();
        char detail[96];
        std::snprintf(detail, sizeof detail, "6000 messages sent in %.0f ms, the flooder %s",
                      sendMs, flooder.awaitLost(2000) ? "cut off" : "still in");
        report("halls flood", detail, atSettle, atEnd, goodReport);
    }
    good.stop();
    std::string log = server.log();
    size_t refusals = 0;
    for (size_t at = log.find(" refused: "); at != std::string::npos;
         at = log.find(" refused: ", at + 1))
        ++refusals;
    std::printf("server log: %zu refusal lines, %zu bytes\n", refusals, log.size());
    return 0;
}
