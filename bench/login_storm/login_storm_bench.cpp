// A login storm: 10,000 accounts sign in at once against a real zrtserver with its default
// password hash and workers, while a probe asks for the version, the ladder and the banner
// every 200 ms. The logins come from 256 client threads spread over 16 loopback addresses
// (16 each, within the default 20 connections per address); a login the server refuses (full
// hashing queue: status 201, or a connection closed unanswered) is tried again after a second,
// as a player would. Bounded: the storm stops after 240 s.
//
// The accounts are made cheaply: one is created through the server, its row then copied under
// 9,999 other names straight into the stopped server's database (so they share its password
// and hash; every login still verifies a full argon2id hash).
//
//   bench_login_storm [accounts [password_hash]]   (defaults: 10000, the server's default cost)
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/proc_stats.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "tests/support/raw_peer.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kHost = "127.0.5.250";
constexpr int kThreads = 256;
constexpr auto kLimit = std::chrono::seconds(240);

std::string accountName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "s%05d", i);
    return name;
}

// Copies the row of account 0 under the names of accounts 1..count-1.
bool copyAccounts(const std::string& dbPath, int count) {
    sqlite3* db = nullptr;
    if (sqlite3_open(dbPath.c_str(), &db) != SQLITE_OK) return false;
    std::vector<std::string> columns;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA table_info(accounts)", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string c = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        if (c != "id" && c != "login_name") columns.push_back(c);
    }
    sqlite3_finalize(st);
    std::string list;
    for (const std::string& c : columns) list += ", " + c;
    std::string sql = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                      std::to_string(count - 1) + ") INSERT INTO accounts (login_name" + list +
                      ") SELECT printf('s%05d', i)" + list +
                      " FROM n, accounts WHERE login_name = '" + accountName(0) + "'";
    char* error = nullptr;
    bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
    if (!ok) std::fprintf(stderr, "copying accounts: %s\n", error ? error : "?");
    sqlite3_free(error);
    sqlite3_close(db);
    return ok;
}

struct Percentiles {
    double p50 = 0, p99 = 0, max = 0;
};
Percentiles percentiles(std::vector<double> v) {
    if (v.empty()) return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 99 / 100], v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    int accounts = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10000;
    std::string cost = argc > 2 ? argv[2] : "standard";
    zrttest::TempDir dir;
    std::string data = dir.path() + "/data";
    std::string password;
    {
        zrttest::ServerProcess setup(kHost, data,
                                     zrttest::testConfig("[accounts]\npassword_hash = \"" + cost +
                                                         "\"\n[server]\n"
                                                         "workers = 0\nhash_queue = 32\n"));
        if (!setup.start() || zrttest::createAccount(kHost, accountName(0), "s@example.org") != 0)
            return 1;
        password = zrttest::mailedPassword(data, accountName(0)).value_or("");
        setup.stop();
    }
    if (password.empty() || !copyAccounts(data + "/zrtserver.db", accounts)) return 1;
    zrttest::ServerProcess server(kHost, data);
    if (!server.start()) return 1;
    std::printf("%d accounts; password_hash \"%s\", one hashing worker per core (%u)\n", accounts,
                cost.c_str(), std::thread::hardware_concurrency());

    std::atomic<int> next{0}, accepted{0}, refusals{0}, failures{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<double> waits;  // seconds from a login's first try to its acceptance
    zrt::AccountStats stats = zrt::newAccountStats(1, 1, 2024, 5, 18);
    auto start = Clock::now();
    double cpuBefore = benchproc::cpuSeconds(server.pid());
    std::vector<std::thread> clients;
    for (int t = 0; t < kThreads; ++t) {
        clients.emplace_back([&, t] {
            std::string source = "127.5.0." + std::to_string(t / 16 + 1);
            for (int i = next++; i < accounts && !stop; i = next++) {
                auto first = Clock::now();
                zrt::LoginRequest req{accountName(i), stats, 1, 0, password};
                std::vector<uint8_t> request = zrt::encodeLoginRequest(req);
                while (!stop) {
                    auto reply =
                        zrttest::askFrom(source, kHost, zrt::kDatabasePort, request, 15000);
                    auto r =
                        reply ? zrt::decodeLoginReply(reply->data(), reply->size()) : std::nullopt;
                    if (r && r->status == zrt::kLoginAccepted) {
                        accepted++;
                        std::lock_guard lock(mutex);
                        waits.push_back(
                            std::chrono::duration<double>(Clock::now() - first).count());
                        break;
                    }
                    if (r && r->status != zrt::kLoginDataNotRecognised) {
                        failures++;  // a wrong answer: not tried again
                        break;
                    }
                    refusals++;
                    std::this_thread::sleep_for(std::chrono::seconds(1));
                }
            }
        });
    }
    // The probe: version, ladder and banner in turn every 200 ms.
    std::vector<double> probe;
    int probeFailures = 0;
    std::thread prober([&] {
        const std::vector<uint8_t> asks[3] = {zrt::encodeVersionRequest(zrt::kVersionTag),
                                              zrt::encodeLadderRequest(),
                                              zrt::encodeBannerRequest()};
        const int ports[3] = {zrt::kVersionPort, zrt::kDatabasePort, zrt::kDatabasePort};
        for (int k = 0; !stop; ++k) {
            auto t0 = Clock::now();
            auto reply = zrttest::askFrom("127.5.1.1", kHost, ports[k % 3], asks[k % 3], 5000);
            double s = std::chrono::duration<double>(Clock::now() - t0).count();
            if (!reply || reply->empty()) ++probeFailures;
            probe.push_back(s);
            std::this_thread::sleep_until(t0 + std::chrono::milliseconds(200));
        }
    });
    int reported = 0;
    while (accepted + failures < accounts && Clock::now() - start < kLimit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        int seconds = static_cast<int>(std::chrono::duration<double>(Clock::now() - start).count());
        if (seconds >= reported + 15) {
            reported = seconds;
            std::printf("  %3d s: %d accepted, %d refusals so far\n", seconds, accepted.load(),
                        refusals.load());
            std::fflush(stdout);
        }
    }
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    double cpu = benchproc::cpuSeconds(server.pid()) - cpuBefore;
    stop = true;
    for (auto& c : clients) c.join();
    prober.join();
    Percentiles w = percentiles(waits);
    Percentiles p = percentiles(probe);
    std::printf(
        "storm: %d of %d accepted in %.1f s (%.1f logins/s), %d refusals tried again, %d "
        "wrong answers; a login's wait p50 %.1f s p99 %.1f s max %.1f s\n",
        accepted.load(), accounts, wall, accepted / wall, refusals.load(), failures.load(), w.p50,
        w.p99, w.max);
    std::printf("server CPU: %.1f s in %.1f s = %.2f cores\n", cpu, wall, cpu / wall);
    std::printf(
        "probe (version, ladder, banner): %zu asked, %d unanswered, p50 %.0f ms p99 %.0f "
        "ms max %.0f ms\n",
        probe.size(), probeFailures, p.p50 * 1000, p.p99 * 1000, p.max * 1000);
    server.stop();
    return accepted == accounts ? 0 : 2;
}
