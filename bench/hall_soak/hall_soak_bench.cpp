// The soak of the service: ten full halls on one zrtserver process, 1000 players each, every
// player on a TCP connection of its own (20 per loopback source address, the halls' default
// limit per address; each hall's players from a 127.x network of their own). Once all have
// joined, each hall carries a lobby's everyday traffic (hall_traffic.h): a chat line per player
// per minute, groups forming, inviting and launching, players leaving and coming back. Every
// 5 s the bench reads the server's resident memory and CPU time from /proc and the delivery
// latency of the hall chat lines; at the end, the averages, the growth and the percentiles.
//
// The server runs with the sign-in check off (the bots have no accounts) and its hall port
// open to 10,100 connections (the default is 1000); everything else is its default. The bench
// raises its descriptor limit to the hard limit, which the server inherits.
//
//   bench_hall_soak [--minutes N]      (default: one minute of traffic)
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench/hall_fanout/hall_bots.h"
#include "bench/hall_soak/hall_traffic.h"
#include "bench/support/descriptor_limit.h"
#include "bench/support/proc_stats.h"
#include "lobby/session/hall_identity.h"
#include "playnet/client.h"
#include "tests/support/server_process.h"
#include "tests/support/temp_dir.h"

namespace {

using fanout::Clock;

constexpr const char* kServer = "127.0.10.250";
constexpr int kHalls = 10;
constexpr int kPlayers = 1000;
constexpr int kLineStep = 1;  // the tally's mark on the soak's lines
constexpr auto kSampleEvery = std::chrono::seconds(5);
constexpr auto kTick = std::chrono::milliseconds(5);

std::string hallName(int h) {
    return "Soak Hall " + std::to_string(h + 1);
}

std::string serverConfig() {
    std::string text = "[halls]\nrequire_sign_in = false\nmax_connections = 10100\n";
    for (int h = 0; h < kHalls; ++h)
        text += "[[hall]]\nname = \"" + hallName(h) + "\"\nmax_players = 1001\n";
    return text;
}

// Delivery latencies over the whole run, in 0.1 ms buckets up to 10 s.
class LatencyHistogram {
  public:
    void add(const std::vector<uint32_t>& us) {
        for (uint32_t u : us) buckets_[std::min<size_t>(u / 100, buckets_.size() - 1)]++;
        count_ += us.size();
    }
    // The latency in ms below which the fraction q of the deliveries arrived.
    double quantile(double q) const {
        uint64_t want = static_cast<uint64_t>(q * static_cast<double>(count_));
        uint64_t seen = 0;
        for (size_t i = 0; i < buckets_.size(); ++i) {
            seen += buckets_[i];
            if (seen > want) return static_cast<double>(i + 1) / 10.0;
        }
        return static_cast<double>(buckets_.size()) / 10.0;
    }

  private:
    std::vector<uint64_t> buckets_ = std::vector<uint64_t>(100000);
    uint64_t count_ = 0;
};

double percentileMs(std::vector<uint32_t>& us, double q) {
    if (us.empty()) return 0;
    size_t at = std::min(us.size() - 1, static_cast<size_t>(q * static_cast<double>(us.size())));
    std::nth_element(us.begin(), us.begin() + static_cast<std::ptrdiff_t>(at), us.end());
    return us[at] / 1000.0;
}

double selfCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

size_t countLines(const std::string& log, const std::string& what) {
    size_t n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
}

struct Sample {
    double seconds = 0;
    long long rss = 0;
    double cores = 0;
};

// Joins every hall's bots (a heartbeat for all runs meanwhile), then the traffic for
// `minutes`. 0 when it ran to its end.
int run(int minutes) {
    zrttest::TempDir dir;
    zrttest::ServerProcess server(kServer, dir.path() + "/data",
                                  zrttest::testConfig(serverConfig()));
    if (!server.start()) {
        std::fprintf(stderr, "cannot start zrtserver\n");
        return 1;
    }
    std::vector<playnet::SessionDesc> listed;
    {
        playnet::Client lister;
        lister.InitializeConnection(kServer);
        auto end = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < end &&
               (lister.EnumSessions(zrt::HallApplication(), listed, 500) != playnet::Result::Ok ||
                listed.size() < static_cast<size_t>(kHalls)))
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    fanout::Tally tally;
    tally.step = kLineStep;
    std::vector<std::unique_ptr<fanout::HallBots>> halls;
    for (int h = 0; h < kHalls; ++h) {
        auto found = std::find_if(listed.begin(), listed.end(),
                                  [&](const auto& s) { return s.name == hallName(h); });
        if (found == listed.end()) {
            std::fprintf(stderr, "%s is not listed\n", hallName(h).c_str());
            return 1;
        }
        halls.push_back(std::make_unique<fanout::HallBots>(kServer, playnet::kDefaultPort,
                                                           found->instance, tally));
    }
    std::atomic<bool> beating{true};
    std::thread beat([&] {
        while (beating) {
            for (auto& bots : halls) bots->beat();
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    });
    auto finish = [&](int status) {
        beating = false;
        beat.join();
        for (auto& bots : halls) bots->stop();
        server.stop();
        return status;
    };

    auto joinStart = Clock::now();
    for (int h = 0; h < kHalls; ++h) {
        // Each hall from a 127.x network of its own; names unique per hall.
        if (!halls[static_cast<size_t>(h)]->join(kPlayers, 11 + h, "h" + std::to_string(h) + "p",
                                                 120)) {
            std::fprintf(stderr, "hall %d: the bots did not all join\n", h + 1);
            return finish(1);
        }
        std::printf("hall %2d: %d players joined (%.0f s since the first), server %lld MB\n", h + 1,
                    kPlayers, std::chrono::duration<double>(Clock::now() - joinStart).count(),
                    benchproc::residentBytes(server.pid()) >> 20);
        std::fflush(stdout);
    }

    auto start = Clock::now();
    std::vector<std::unique_ptr<soak::HallTraffic>> traffic;
    for (int h = 0; h < kHalls; ++h)
        traffic.push_back(std::make_unique<soak::HallTraffic>(
            *halls[static_cast<size_t>(h)], kPlayers, kLineStep, 1000u + static_cast<uint32_t>(h),
            soak::TrafficRates{kPlayers / 60.0}, start));
    LatencyHistogram all;
    std::vector<Sample> samples;
    std::vector<uint32_t> window;
    uint64_t deliveredBefore = 0;
    double cpuStart = benchproc::cpuSeconds(server.pid());
    std::map<int, double> threadsStart = benchproc::threadCpuSeconds(server.pid());
    double cpuBefore = cpuStart;
    double selfStart = selfCpuSeconds();
    auto nextSample = start + kSampleEvery;
    auto end = start + std::chrono::minutes(minutes);
    std::printf("traffic for %d minute%s; every %lld s:\n", minutes, minutes == 1 ? "" : "s",
                static_cast<long long>(kSampleEvery.count()));
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
        for (auto& t : traffic) t->tick(now);
        if (now >= nextSample) {
            nextSample += kSampleEvery;
            {
                std::lock_guard lock(tally.mutex);
                window.swap(tally.latencyUs);
                tally.latencyUs.clear();
            }
            all.add(window);
            double cpu = benchproc::cpuSeconds(server.pid());
            Sample s{std::chrono::duration<double>(now - start).count(),
                     benchproc::residentBytes(server.pid()),
                     (cpu - cpuBefore) / std::chrono::duration<double>(kSampleEvery).count()};
            cpuBefore = cpu;
            samples.push_back(s);
            uint64_t delivered = tally.delivered.load();
            std::printf(
                "  %4.0f s: server %4lld MB resident, %.2f cores; %7.0f deliveries/s, latency "
                "p50 %6.1f ms p99 %7.1f ms; %d present, %d links lost\n",
                s.seconds, s.rss >> 20, s.cores,
                static_cast<double>(delivered - deliveredBefore) /
                    std::chrono::duration<double>(kSampleEvery).count(),
                percentileMs(window, 0.5), percentileMs(window, 0.99),
                tally.receivers.load() - tally.lost.load(), tally.lost.load());
            std::fflush(stdout);
            deliveredBefore = delivered;
            window.clear();
        }
        std::this_thread::sleep_for(kTick);
    }
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = benchproc::cpuSeconds(server.pid()) - cpuStart;
    double self = selfCpuSeconds() - selfStart;
    // Which of the server's threads carried the load.
    std::vector<double> shares;
    for (const auto& [tid, seconds] : benchproc::threadCpuSeconds(server.pid()))
        shares.push_back((seconds - threadsStart[tid]) / wall);
    std::sort(shares.rbegin(), shares.rend());
    {
        std::lock_guard lock(tally.mutex);
        all.add(tally.latencyUs);
    }

    soak::TrafficCounts sum;
    for (auto& t : traffic) {
        const soak::TrafficCounts& c = t->counts();
        sum.lines += c.lines;
        sum.groups += c.groups;
        sum.launches += c.launches;
        sum.invites += c.invites;
        sum.leaves += c.leaves;
        sum.returns += c.returns;
        sum.abandoned += c.abandoned;
    }
    uint64_t accepted = 0;
    for (auto& bots : halls) accepted += bots->invitesAccepted();
    long long maxRss = 0;
    for (const Sample& s : samples) maxRss = std::max(maxRss, s.rss);
    long long firstRss = samples.empty() ? 0 : samples.front().rss;
    long long lastRss = samples.empty() ? 0 : samples.back().rss;
    std::printf(
        "soak: %d halls x %d players, %.0f s of traffic: %llu hall chat lines, %llu deliveries "
        "(%.0f/s), %llu groups created, %llu launched, %llu invitations (%llu accepted), "
        "%llu players left and %llu came back, %llu groups without an id; %d links lost\n",
        kHalls, kPlayers, wall, static_cast<unsigned long long>(sum.lines),
        static_cast<unsigned long long>(tally.delivered.load()),
        static_cast<double>(tally.delivered.load()) / wall,
        static_cast<unsigned long long>(sum.groups), static_cast<unsigned long long>(sum.launches),
        static_cast<unsigned long long>(sum.invites), static_cast<unsigned long long>(accepted),
        static_cast<unsigned long long>(sum.leaves), static_cast<unsigned long long>(sum.returns),
        static_cast<unsigned long long>(sum.abandoned), tally.lost.load());
    std::printf(
        "server: resident %lld MB at the first sample, %lld MB at the last (growth %+lld MB), "
        "at most %lld MB; CPU %.1f s in %.0f s = %.2f cores on average\n",
        firstRss >> 20, lastRss >> 20, (lastRss - firstRss) >> 20, maxRss >> 20, cpu, wall,
        cpu / wall);
    std::printf("server threads, the busiest first (cores):");
    for (size_t i = 0; i < shares.size() && i < 6; ++i) std::printf(" %.2f", shares[i]);
    std::printf("\n");
    std::printf("delivery latency over the run: p50 %.1f ms, p99 %.1f ms\n", all.quantile(0.5),
                all.quantile(0.99));
    std::printf("the bench itself (bots and driver): %.2f cores\n", self / wall);
    std::string log = server.log();
    std::printf(
        "server log: %zu dropped messages, %zu groups created, %zu launched; refused group "
        "joins: %zu after the launch, %zu to no such group, %zu to a full group\n",
        countLines(log, "dropped message"), countLines(log, " created by "),
        countLines(log, " launched by "), countLines(log, ": the group has launched"),
        countLines(log, ": no such group"), countLines(log, ": the group is full"));
    // The server's own account of the links it cut and the chat it shed, as logged.
    for (size_t at = 0, eol; at < log.size(); at = eol + 1) {
        eol = log.find('\n', at);
        if (eol == std::string::npos) eol = log.size();
        std::string_view line(log.data() + at, eol - at);
        if (line.find("links cut:") != std::string_view::npos ||
            line.find("deliveries shed") != std::string_view::npos)
            std::printf("  %.*s\n", static_cast<int>(line.size()), line.data());
    }
    return finish(0);
}

}  // namespace

int main(int argc, char** argv) {
    int minutes = 1;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--minutes") == 0 && i + 1 < argc)
            minutes = std::max(1, std::min(60, std::atoi(argv[++i])));
    std::printf("descriptor limit raised to %llu\n", benchproc::raiseDescriptorLimit());
    return run(minutes);
}
