// Loading a full hall: the time the session dispatcher takes to apply the state snapshot of 999
// other players and 500 groups to the hall tables, the user-interface calls that causes (the
// player list is built in one pass at the state end, and one coalesced flush follows), and
// the memory the filled tables hold.
//
// Modes:
//   bench_hall_snapshot [benchmark flags]   the timing, median of 20 repetitions
//   bench_hall_snapshot --memory            one snapshot in a fresh process: resident set and
//                                           heap before and after, and the tables' own size
// Bounded: the timing runs 20 repetitions of at least 0.2 s each; the memory mode is one pass.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "counting_ui.h"
#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "snapshot_messages.h"
#include "table_bytes.h"

namespace {

using namespace zrt;
using namespace zrt::bench;

// One stay in a hall: the session, the two ends and the dispatcher in front of them.
struct HallClient {
    LobbySession session;
    CountingUi ui;
    DiscardingSender sender;
    SessionDispatcher dispatcher{session, sender, ui};

    HallClient() {
        PlayerEntry own;
        own.address = "10.0.0.1";
        own.name = "Me";
        own.score = 1500;
        session.enterHall(own, false);
        session.ownPlayerId = kOwnId;
    }

    // Every message, then the flush the receiver does once the burst is over.
    void apply(const Snapshot& snapshot) {
        for (const Bytes& m : snapshot.messages) dispatcher.DispatchMessage(m.data(), m.size());
        dispatcher.FlushRefresh();
    }
};

// What the tables and the UI must show after the snapshot; an empty text when all is right.
std::string checkResult(HallClient& client, const Snapshot& snapshot) {
    auto hall = client.session.hall.read();
    size_t members = 0;
    for (const GroupEntry& g : hall->groups.entries()) members += g.members.size();
    const UiCounts& c = client.ui.counts;
    if (hall->players.size() != snapshot.players + 1) return "player count";
    if (hall->groups.size() != snapshot.groups) return "group count";
    if (members != snapshot.members) return "member count";
    if (hall->snapshot) return "snapshot flag still set";
    if (c.linesAdded != snapshot.players) return "player-list lines";
    if (c.groupsRefresh != 1 || c.topPanel != 1 || c.playerList != 0) return "refresh flushes";
    if (c.status != 1 || c.other != 0 || c.linesDeleted != 0) return "other UI calls";
    return {};
}

void BM_ApplyHallSnapshot(benchmark::State& state) {
    const Snapshot snapshot = buildSnapshot();
    UiCounts counts;
    size_t sends = 0;
    for (auto _ : state) {
        auto client = std::make_unique<HallClient>();
        const auto start = std::chrono::steady_clock::now();
        client->apply(snapshot);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        counts = client->ui.counts;
        sends = client->sender.sent;
        const std::string error = checkResult(*client, snapshot);
        if (!error.empty()) {
            state.SkipWithError(("wrong result: " + error).c_str());
            break;
        }
    }
    state.counters["messages"] = static_cast<double>(snapshot.messages.size());
    state.counters["ui_calls"] = static_cast<double>(counts.total());
    state.counters["lines_added"] = static_cast<double>(counts.linesAdded);
    state.counters["refresh_flushes"] = static_cast<double>(counts.refreshes());
    state.counters["status_events"] = static_cast<double>(counts.status);
    state.counters["sends"] = static_cast<double>(sends);
}
BENCHMARK(BM_ApplyHallSnapshot)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

// A "VmXxx:" line of /proc/self/status in kB, or -1.
long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(in, line)) {
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':') {
            return std::stol(line.substr(n + 1));
        }
    }
    return -1;
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void printMemory(const char* when) {
    std::printf("%-34s VmRSS %6ld kB  VmHWM %6ld kB  heap in use %8zu B\n", when, statusKb("VmRSS"),
                statusKb("VmHWM"), heapInUse());
}

int memoryMode() {
    printMemory("start");
    auto snapshot = std::make_unique<Snapshot>(buildSnapshot());
    std::printf(
        "snapshot: %zu messages, %zu bytes; %zu players, %zu groups (%zu launched), "
        "%zu members\n",
        snapshot->messages.size(), snapshot->bytes, snapshot->players, snapshot->groups,
        snapshot->launched, snapshot->members);
    printMemory("messages built");
    const size_t heapBefore = heapInUse();
    const long rssBefore = statusKb("VmRSS");
    auto client = std::make_unique<HallClient>();
    client->apply(*snapshot);
    const size_t heapAfter = heapInUse();
    const long rssAfter = statusKb("VmRSS");
    printMemory("snapshot applied");
    const std::string error = checkResult(*client, *snapshot);
    snapshot.reset();
    printMemory("messages freed, tables held");

    const TableBytes t = [&] {
        auto hall = client->session.hall.read();
        return tableBytes(*hall);
    }();
    std::printf("session with its tables, dispatcher and ends: heap +%zu B, VmRSS %+ld kB\n",
                heapAfter - heapBefore, rssAfter - rssBefore);
    std::printf(
        "tables: players %zu B, groups %zu B, in-game names %zu B, other %zu B, "
        "total %zu B (sizeof LobbySession %zu B)\n",
        t.players, t.groups, t.inGameNames, t.other, t.total(), sizeof(LobbySession));
    const UiCounts& c = client->ui.counts;
    std::printf(
        "UI calls: %zu (lines added %zu, status %zu, groups refresh %zu, top panel %zu, "
        "player list %zu); sends %zu\n",
        c.total(), c.linesAdded, c.status, c.groupsRefresh, c.topPanel, c.playerList,
        client->sender.sent);
    if (!error.empty()) {
        std::printf("wrong result: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--memory") == 0) return memoryMode();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
