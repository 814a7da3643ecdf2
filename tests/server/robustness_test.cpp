// Bad and slow clients against a real zrtserver: each is closed without a reply and without
// harming a good request running beside it; and 200 exchanges at once all succeed.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "tests/support/raw_peer.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrttest {
namespace {

constexpr int kWaitMs = 10000;
// Where the hand-made clients connect from, as a client on this machine would.
const std::string kSource = "127.0.0.1";

TEST(ServerRobustness, BadRequestsAreClosedWithoutHarm) {
    const std::string host = "127.0.4.20";
    ServerProcess server(host, "", testConfig("[server]\nrequest_timeout_seconds = 1\n"));
    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_EQ(createAccount(host, "gina", "gina@example.org"), 0);
    auto password = mailedPassword(server.dataDir(), "gina");
    ASSERT_TRUE(password);

    // A slow client: half a login request, then silence.
    RawPeer slow, silent, unknown, three, cut, garbage, garbageAccount;
    ASSERT_TRUE(slow.connect(kSource, host, zrt::kDatabasePort));
    slow.send({1, 'g', 'i'});
    // A client that connects and says nothing, on either port.
    ASSERT_TRUE(silent.connect(kSource, host, zrt::kVersionPort));
    // An unknown request code.
    ASSERT_TRUE(unknown.connect(kSource, host, zrt::kDatabasePort));
    unknown.send({9, 1, 2, 3});
    // A request code 3, which the link does not carry.
    ASSERT_TRUE(three.connect(kSource, host, zrt::kDatabasePort));
    three.send({3});
    // A login request cut short: the client closes its sending side after 20 bytes.
    ASSERT_TRUE(cut.connect(kSource, host, zrt::kDatabasePort));
    cut.send(std::vector<uint8_t>(20, 1));
    ::shutdown(cut.fd(), SHUT_WR);
    // A login with garbage in every field (no terminators anywhere).
    ASSERT_TRUE(garbage.connect(kSource, host, zrt::kDatabasePort));
    std::vector<uint8_t> junk(55, 0xFF);
    junk[0] = 1;
    garbage.send(junk);
    // A new-account request full of garbage.
    ASSERT_TRUE(garbageAccount.connect(kSource, host, zrt::kDatabasePort));
    std::vector<uint8_t> junk2(93, 0x80);
    junk2[0] = 2;
    garbageAccount.send(junk2);

    // Meanwhile a good request is served.
    zrt::AccountStats s = zrt::newAccountStats(1, 1, 2024, 5, 18);
    auto reply = login(host, "gina", s, *password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginAccepted);

    for (RawPeer* closedEmpty : {&unknown, &three, &cut}) {
        auto r = closedEmpty->readUntilClosed(kWaitMs);
        ASSERT_TRUE(r);
        EXPECT_TRUE(r->empty());
    }
    auto r = garbage.readUntilClosed(kWaitMs);
    ASSERT_TRUE(r);
    auto decoded = zrt::decodeLoginReply(r->data(), r->size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->status, zrt::kLoginUnknownName);
    r = garbageAccount.readUntilClosed(kWaitMs);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, std::vector<uint8_t>{1});  // a name the server does not take
    // The slow and the silent ones are closed after the time limit, without a reply.
    for (RawPeer* idle : {&slow, &silent}) {
        r = idle->readUntilClosed(kWaitMs);
        ASSERT_TRUE(r);
        EXPECT_TRUE(r->empty());
    }

    // Still serving.
    EXPECT_EQ(login(host, "gina", s, *password)->status, zrt::kLoginAccepted);
    EXPECT_EQ(server.stop(), 0);
    // The garbage names were logged as printable text.
    std::string log = server.log();
    EXPECT_NE(log.find("login ????"), std::string::npos);
    for (char c : log) {
        if (c != '\n') {
            ASSERT_TRUE(c >= 0x20 && c <= 0x7e) << int(static_cast<unsigned char>(c));
        }
    }
}

TEST(ServerRobustness, TwoHundredConcurrentExchanges) {
    const std::string host = "127.0.4.21";
    // All from one address, and 40 logins at once: room for them all.
    ServerProcess server(host, "",
                         testConfig("[server]\nmax_connections_per_address = 1000\n"
                                    "hash_queue = 1000\n"
                                    "[[banner]]\npicture_url = \"http://ads/1.gif\"\n"
                                    "click_url = \"http://one/\"\n"));
    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_EQ(createAccount(host, "henry", "henry@example.org"), 0);
    auto password = mailedPassword(server.dataDir(), "henry");
    ASSERT_TRUE(password);

    constexpr int kClients = 200;
    std::atomic<int> good{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            while (!go.load()) std::this_thread::yield();
            bool ok = false;
            switch (i % 5) {
                case 0: {
                    zrt::AccountStats s = zrt::newAccountStats(1, 1, 2024, 5, 18);
                    auto r = login(host, "henry", s, *password);
                    ok = r && r->status == zrt::kLoginAccepted;
                    break;
                }
                case 1:
                    ok = ladder(host).size() == 1;
                    break;
                case 2:
                    ok = banner(host).has_value();
                    break;
                case 3:
                    ok = exchange(host, zrt::kDatabasePort,
                                  zrt::encodeDatabaseVersionRequest(zrt::kVersionTag), 0) == 593;
                    break;
                case 4:
                    ok = exchange(host, zrt::kVersionPort,
                                  zrt::encodeVersionRequest(zrt::kVersionTag), 0) > 81;
                    break;
            }
            if (ok) good.fetch_add(1);
        });
    }
    go.store(true);
    for (auto& t : clients) t.join();
    EXPECT_EQ(good.load(), kClients) << server.log();
}

}  // namespace
}  // namespace zrttest
