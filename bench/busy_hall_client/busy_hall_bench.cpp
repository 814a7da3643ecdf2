// The lobby client in a busy hall: a real zrtserver with one hall of 1000 players (999 bots on
// connections of their own, and the lobby), 10 hall chat lines/s and groups changing (a group
// forms every 2 s, invites, launches and empties; a player leaves and comes back every 3 s).
// The lobby (the real start-up, sign-in and hall, offscreen) runs as a child process; after 5 s
// to settle, its CPU time and resident memory are read from /proc every 5 s for the measured
// time. Then a bare Qt window of the lobby's size, also offscreen, is measured the same way.
//
// The server runs with the sign-in check off for the hall (the bots have no accounts; the lobby
// still signs in) and its hall port open to 1100 connections (the default is 1000).
//
//   bench_busy_hall_client [--seconds N] [--bots N]     (defaults: 60 s, 999 bots)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include "bench/busy_hall_client/lobby_child.h"
#include "bench/hall_fanout/hall_bots.h"
#include "bench/hall_soak/hall_traffic.h"
#include "bench/support/descriptor_limit.h"
#include "bench/support/proc_stats.h"
#include "lobby/session/hall_identity.h"
#include "playnet/client.h"
#include "tests/support/game_folder.h"
#include "tests/support/lobby_road.h"
#include "tests/support/server_process.h"

namespace {

using fanout::Clock;

constexpr const char* kServer = "127.0.11.250";
constexpr const char* kHall = "Busy Hall";
constexpr auto kSettle = std::chrono::seconds(5);
constexpr auto kSampleEvery = std::chrono::seconds(5);

bool configure(zrttest::ServerProcess& server) {
    if (!server.editConfig("require_sign_in = true", "require_sign_in = false") ||
        !server.editConfig("in a hall).\nmax_connections = 1000",
                           "in a hall).\nmax_connections = 1100"))
        return false;
    QFile config(QString::fromStdString(server.dataDir() + "/zrtserver.toml"));
    return config.open(QIODevice::Append) && config.write(QByteArray("\n[[hall]]\nname = \"") +
                                                          kHall + "\"\nmax_players = 1001\n") > 0;
}

std::optional<playnet::Guid> hallInstance() {
    playnet::Client lister;
    lister.InitializeConnection(kServer);
    std::vector<playnet::SessionDesc> listed;
    for (int tries = 0; tries < 20; ++tries) {
        if (lister.EnumSessions(zrt::HallApplication(), listed, 500) == playnet::Result::Ok)
            for (const auto& s : listed)
                if (s.name == kHall) return s.instance;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return std::nullopt;
}

struct Usage {
    double cores = 0;  // CPU share over the measured time
    long long rssMean = 0;
    long long rssMax = 0;
    long long anonymous = 0;  // of the resident memory at the end, heap and stacks
    int width = 0, height = 0;
    bool ok = false;
};

// Starts this program as `args`, waits (bounded) for its "ready" line, lets `during` run every
// few milliseconds while it settles and is measured, then ends it by closing its input.
Usage measure(const QStringList& args, const QProcessEnvironment& env, int seconds,
              const std::function<void()>& during) {
    Usage u;
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), args);
    auto limit = Clock::now() + std::chrono::seconds(180);
    QByteArray line;
    while (!line.startsWith("ready") && Clock::now() < limit &&
           child.state() != QProcess::NotRunning) {
        if (child.canReadLine() || child.waitForReadyRead(100)) {
            if (child.canReadLine()) line = child.readLine();
        }
        during();
    }
    if (!line.startsWith("ready")) {
        std::fprintf(stderr, "%s did not come up\n", qPrintable(args.first()));
        child.kill();
        child.waitForFinished(5000);
        return u;
    }
    std::sscanf(line.constData(), "ready %d %d", &u.width, &u.height);
    pid_t pid = static_cast<pid_t>(child.processId());
    auto tick = [&](Clock::time_point until) {
        while (Clock::now() < until) {
            during();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    tick(Clock::now() + kSettle);
    double cpuStart = benchproc::cpuSeconds(pid);
    auto start = Clock::now();
    long long rssSum = 0;
    int samples = 0;
    for (auto next = start + kSampleEvery; next <= start + std::chrono::seconds(seconds);
         next += kSampleEvery) {
        tick(next);
        long long rss = benchproc::residentBytes(pid);
        rssSum += rss;
        u.rssMax = std::max(u.rssMax, rss);
        ++samples;
        std::printf("  %s %3.0f s: %.1f%% of a core so far, %lld MB resident\n",
                    qPrintable(args.first()),
                    std::chrono::duration<double>(Clock::now() - start).count(),
                    100 * (benchproc::cpuSeconds(pid) - cpuStart) /
                        std::chrono::duration<double>(Clock::now() - start).count(),
                    rss >> 20);
        std::fflush(stdout);
    }
    u.cores = (benchproc::cpuSeconds(pid) - cpuStart) /
              std::chrono::duration<double>(Clock::now() - start).count();
    u.rssMean = samples ? rssSum / samples : 0;
    u.anonymous = benchproc::anonymousBytes(pid);
    child.closeWriteChannel();
    u.ok = child.waitForFinished(30000) && child.exitStatus() == QProcess::NormalExit &&
           child.exitCode() == 0;
    if (!u.ok) {
        std::fprintf(stderr, "%s ended with %s %d\n", qPrintable(args.first()),
                     child.exitStatus() == QProcess::NormalExit ? "status" : "signal",
                     child.exitCode());
        child.kill();
    }
    return u;
}

int run(int seconds, int bots) {
    zrttest::ServerProcess server(kServer);
    if (!configure(server) || !server.start()) {
        std::fprintf(stderr, "cannot start zrtserver\n");
        return 1;
    }
    TestGameFolder folder;
    folder.writeServerTxt(QByteArray(kServer) + "\r\n");
    const QString password = CreateLobbyAccount(server, folder.gameDir(), "ALICE");
    std::optional<playnet::Guid> hall = hallInstance();
    if (password.isEmpty() || !hall) {
        std::fprintf(stderr, "no account or no hall\n");
        return 1;
    }
    fanout::Tally tally;
    tally.step = 1;
    fanout::HallBots hallBots(kServer, playnet::kDefaultPort, *hall, tally);
    std::atomic<bool> beating{true};
    std::thread beat([&] {
        while (beating) {
            hallBots.beat();
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    });
    auto finish = [&](int status) {
        beating = false;
        beat.join();
        hallBots.stop();
        return status;
    };
    if (!hallBots.join(bots, 12, "b", 120)) return finish(1);
    std::printf("hall: %d bots joined; the lobby signs in and enters\n", bots);
    std::fflush(stdout);

    QProcessEnvironment env = folder.environment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    std::optional<soak::HallTraffic> traffic;
    Usage lobby = measure({"--client", folder.gameDir(), password, kHall}, env, seconds, [&] {
        auto now = Clock::now();
        if (!traffic) traffic.emplace(hallBots, bots, 1, 7u, soak::TrafficRates{10.0}, now);
        traffic->tick(now);
    });
    if (!lobby.width) return finish(1);
    const soak::TrafficCounts& c = traffic->counts();
    std::printf(
        "hall traffic meanwhile: %llu chat lines, %llu groups created, %llu launched, %llu "
        "players left and %llu came back\n",
        static_cast<unsigned long long>(c.lines), static_cast<unsigned long long>(c.groups),
        static_cast<unsigned long long>(c.launches), static_cast<unsigned long long>(c.leaves),
        static_cast<unsigned long long>(c.returns));
    Usage bare = measure({"--bare", QString::number(lobby.width), QString::number(lobby.height)},
                         env, seconds, [] {});
    std::printf(
        "lobby in the busy hall (%d x %d, offscreen): %.1f%% of a core, resident %lld MB on "
        "average (at most %lld MB; %lld MB of it anonymous at the end)\n",
        lobby.width, lobby.height, 100 * lobby.cores, lobby.rssMean >> 20, lobby.rssMax >> 20,
        lobby.anonymous >> 20);
    std::printf(
        "bare Qt window of that size (offscreen): %.1f%% of a core, resident %lld MB on "
        "average (at most %lld MB; %lld MB of it anonymous at the end)\n",
        100 * bare.cores, bare.rssMean >> 20, bare.rssMax >> 20, bare.anonymous >> 20);
    if (bare.rssMean > 0)
        std::printf("memory: the lobby holds %.2f times the bare window's\n",
                    static_cast<double>(lobby.rssMean) / static_cast<double>(bare.rssMean));
    return finish(lobby.ok && bare.ok ? 0 : 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--client") == 0)
        return busyhall::runLobbyClient(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return busyhall::runBareWindow(argc, argv);
    int seconds = 60;
    int bots = 999;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::clamp(std::atoi(argv[++i]), 5, 600);
        else if (std::strcmp(argv[i], "--bots") == 0 && i + 1 < argc)
            bots = std::clamp(std::atoi(argv[++i]), 10, 999);
    }
    QCoreApplication app(argc, argv);
    benchproc::raiseDescriptorLimit();
    return run(seconds, bots);
}
