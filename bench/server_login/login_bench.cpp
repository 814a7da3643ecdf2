// Load generator: login exchanges per second against a real zrtserver process, one server with
// the default (interactive) argon2id cost and one with the minimum cost, from 1 and 8 client
// threads. Each run is bounded in iterations and time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "lobby/net/login_messages.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace {

struct Target {
    std::string host;
    std::string password;
    std::unique_ptr<zrttest::TempDir> dir;
    std::unique_ptr<zrttest::ServerProcess> server;
};

Target gInteractive;
Target gMin;

bool startTarget(Target& t, const std::string& host, const std::string& hashCost) {
    t.host = host;
    t.dir = std::make_unique<zrttest::TempDir>();
    t.server = std::make_unique<zrttest::ServerProcess>(
        host, t.dir->path(),
        "[accounts]\npassword_hash = \"" + hashCost +
            "\"\n[gemstones]\npolicy = \"fixed\"\ngrant = 0\n[server]\nworkers = 2\n");
    if (!t.server->start()) return false;
    if (zrttest::createAccount(host, "bench", "bench@example.org") != 0) return false;
    auto pw = zrttest::mailedPassword(t.server->dataDir(), "bench");
    if (!pw) return false;
    t.password = *pw;
    return true;
}

void runLogins(benchmark::State& state, const Target& t) {
    zrt::AccountStats stats = zrt::newAccountStats(1, 1, 2024, 5, 18);
    int64_t failures = 0;
    for (auto _ : state) {
        auto r = zrttest::login(t.host, "bench", stats, t.password);
        if (!r || r->status != zrt::kLoginAccepted) ++failures;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["failures"] = static_cast<double>(failures);
}

void BM_LoginInteractiveHash(benchmark::State& state) {
    runLogins(state, gInteractive);
}
void BM_LoginMinHash(benchmark::State& state) {
    runLogins(state, gMin);
}

BENCHMARK(BM_LoginInteractiveHash)->Threads(1)->Threads(8)->Iterations(40)->UseRealTime();
BENCHMARK(BM_LoginMinHash)->Threads(1)->Threads(8)->Iterations(500)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!startTarget(gInteractive, "127.0.4.250", "interactive") ||
        !startTarget(gMin, "127.0.4.251", "min")) {
        std::fprintf(stderr, "cannot start zrtserver for the benchmark\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gInteractive.server->stop();
    gMin.server->stop();
    return 0;
}
