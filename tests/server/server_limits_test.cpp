// The version and database ports against floods: connections capped per port in total and per
// address (each refusal logged once; a full port makes room by closing its longest idle
// connection), and password hashing behind a bounded queue of its own,
// so that version, ladder and banner requests never wait behind it and a login that cannot
// wait is refused at once.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "server/work_queue.h"
#include "tests/support/raw_peer.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrttest {
namespace {

constexpr int kWaitMs = 10000;

std::vector<uint8_t> loginRequest(const std::string& name, const std::string& password) {
    return zrt::encodeLoginRequest({name, zrt::newAccountStats(1, 1, 2026, 1, 1), 1, 0, password});
}

TEST(ServerLimits, PortsCapConnectionsInTotalAndPerAddress) {
    const std::string host = "127.0.4.30";
    ServerProcess server(host, "",
                         testConfig("[server]\nmax_connections = 10\n"
                                    "max_connections_per_address = 4\n"
                                    "request_timeout_seconds = 30\n"));
    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_EQ(createAccount(host, "good", "good@example.org"), 0);
    std::optional<std::string> password = mailedPassword(server.dataDir(), "good");
    ASSERT_TRUE(password);

    // Idle connections: six from one address, the last two refused at once and logged once;
    // then eight from two more: the port holds ten, so the last two take the places of the two
    // that have waited longest.
    std::vector<RawPeer> idle(14);
    for (size_t i = 0; i < idle.size(); ++i)
        ASSERT_TRUE(idle[i].connect(i < 6    ? "127.0.24.1"
                                    : i < 10 ? "127.0.24.2"
                                             : "127.0.24.3",
                                    host, zrt::kVersionPort));
    std::vector<size_t> closed;
    for (size_t i = 0; i < idle.size(); ++i)
        if (idle[i].closedWithin(200)) closed.push_back(i);
    EXPECT_EQ(closed, (std::vector<size_t>{0, 1, 4, 5}));
    EXPECT_EQ(server.logCount("connection from 127.0.24.1 refused"), 1u);
    // Idle connections cannot shut a player out: his request takes the place of one of them.
    std::optional<std::vector<uint8_t>> version =
        askFrom("127.0.24.4", host, zrt::kVersionPort, zrt::encodeVersionRequest(zrt::kVersionTag));
    ASSERT_TRUE(version);
    EXPECT_FALSE(version->empty());
    // The database port has limits of its own: a player still signs in.
    std::optional<std::vector<uint8_t>> reply =
        askFrom("127.0.0.1", host, zrt::kDatabasePort, loginRequest("good", *password));
    ASSERT_TRUE(reply);
    std::optional<zrt::LoginReply> login = zrt::decodeLoginReply(reply->data(), reply->size());
    ASSERT_TRUE(login);
    EXPECT_EQ(login->status, zrt::kLoginAccepted);
}

TEST(ServerLimits, HashingWaitsInABoundedQueueBesideTheQuickRequests) {
    const std::string host = "127.0.4.31";
    // Real hashing cost, one hashing thread, two waiting at most.
    ServerProcess server(host, "",
                         testConfig("[server]\nworkers = 1\nhash_queue = 2\n"
                                    "[accounts]\npassword_hash = \"interactive\"\n"));
    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_EQ(createAccount(host, "target", "target@example.org"), 0);

    // Twelve guesses at once, each from an address of its own.
    constexpr size_t kGuesses = 12;
    std::vector<RawPeer> guesses(kGuesses);
    for (size_t i = 0; i < kGuesses; ++i) {
        ASSERT_TRUE(
            guesses[i].connect("127.0.24." + std::to_string(10 + i), host, zrt::kDatabasePort));
        guesses[i].send(loginRequest("target", "guess" + std::to_string(i)));
    }
    // The ladder does not wait behind them: it is answered while guesses are still hashing.
    std::optional<std::vector<uint8_t>> ladder =
        askFrom("127.0.0.1", host, zrt::kDatabasePort, zrt::encodeLadderRequest());
    ASSERT_TRUE(ladder);
    EXPECT_EQ(zrt::decodeLadderReply(ladder->data(), ladder->size()).size(), 1u);
    size_t unanswered = 0;
    for (RawPeer& g : guesses) {
        pollfd p{g.fd(), POLLIN, 0};
        unanswered += ::poll(&p, 1, 0) == 0 ? 1 : 0;
    }
    EXPECT_GE(unanswered, 1u) << "the ladder waited for the hashing";
    // What the queue could not hold was refused at once with the refusal the lobby shows.
    size_t busy = 0;
    for (RawPeer& g : guesses) {
        std::optional<std::vector<uint8_t>> r = g.readUntilClosed(3 * kWaitMs);
        ASSERT_TRUE(r);
        std::optional<zrt::LoginReply> decoded = zrt::decodeLoginReply(r->data(), r->size());
        if (decoded && decoded->status == zrt::kLoginDataNotRecognised) ++busy;
    }
    EXPECT_GE(busy, kGuesses - 4) << "one hashing and two waiting, give or take one";
    EXPECT_TRUE(server.logged("the hashing workers are busy"));
}

TEST(ServerWorkQueue, AFullQueueRefusesAndALateTaskExpires) {
    zrtserver::WorkQueue queue("test", 1, 2);
    std::mutex mutex;
    std::condition_variable cv;
    bool release = false;
    auto hold = [&] {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return release; });
    };
    auto far = zrtserver::WorkQueue::Clock::now() + std::chrono::hours(1);
    std::atomic<int> ran{0}, expired{0};
    ASSERT_TRUE(queue.submit(far, hold, nullptr));
    // The only thread is held: what follows waits, and the queue holds two.
    while (queue.waiting() > 0) std::this_thread::yield();
    auto soon = zrtserver::WorkQueue::Clock::now() + std::chrono::milliseconds(20);
    EXPECT_TRUE(queue.submit(
        soon, [&] { ++ran; }, [&] { ++expired; }));
    EXPECT_TRUE(queue.submit(
        far, [&] { ++ran; }, [&] { ++expired; }));
    EXPECT_FALSE(queue.submit(
        far, [&] { ++ran; }, [&] { ++expired; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    cv.notify_all();
    queue.join();
    EXPECT_EQ(ran.load(), 1);
    EXPECT_EQ(expired.load(), 1);
}

}  // namespace
}  // namespace zrttest
