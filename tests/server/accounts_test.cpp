// Accounts against a real zrtserver: creation with the password mailed to the outbox, login
// outcomes, the stored figures, the grant carried by the reply's length, and restarts.
#include <gtest/gtest.h>

#include <filesystem>

#include "lobby/net/account_messages.h"
#include "lobby/net/request_code.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrttest {
namespace {

zrt::AccountStats played(uint16_t score, uint16_t won, uint16_t lost, uint16_t quit,
                         uint16_t gems) {
    zrt::AccountStats s = zrt::newAccountStats(3, 42, 2024, 5, 18);
    s.score = score;
    s.won = won;
    s.lost = lost;
    s.quit = quit;
    s.gemstones = gems;
    return s;
}

uint16_t storedScore(const std::string& host, const std::string& name) {
    for (const auto& e : ladder(host))
        if (e.loginName == name) return e.stats.score;
    return 0;
}

TEST(ServerAccounts, FreshFolderCreateMailLoginWithDefaults) {
    TempDir tmp;
    // No configuration: the server writes its defaults (standard hashes, daily grant of 1).
    ServerProcess server("127.0.4.1", tmp.path() + "/data");
    ASSERT_TRUE(server.start()) << server.log();
    EXPECT_TRUE(std::filesystem::exists(tmp.path() + "/data/zrtserver.toml"));
    EXPECT_TRUE(std::filesystem::exists(tmp.path() + "/data/zrtserver.db"));

    ASSERT_EQ(createAccount("127.0.4.1", "alice", "alice@example.org"), 0);
    auto password = mailedPassword(server.dataDir(), "alice");
    ASSERT_TRUE(password);
    EXPECT_EQ(password->size(), 8u);

    int bytes = 0;
    auto reply = login("127.0.4.1", "alice", played(150, 1, 0, 0, 5), *password, &bytes);
    ASSERT_TRUE(reply);
    EXPECT_LT(reply->status, 200);
    EXPECT_EQ(reply->grant, 1);  // the day's first login
    EXPECT_GE(bytes, 256 + 2);
    EXPECT_EQ(storedScore("127.0.4.1", "alice"), 150);

    // The second login of the day earns nothing: a short reply.
    reply = login("127.0.4.1", "alice", played(160, 2, 0, 0, 6), *password, &bytes);
    ASSERT_TRUE(reply);
    EXPECT_LT(reply->status, 200);
    EXPECT_EQ(reply->grant, 0);
    EXPECT_LT(bytes, 256);

    std::string log = server.log();
    EXPECT_NE(log.find("new account alice"), std::string::npos);
    EXPECT_NE(log.find("outbox"), std::string::npos);
    EXPECT_EQ(log.find(*password), std::string::npos) << "the log must never hold a password";
    EXPECT_EQ(server.stop(), 0);
}

TEST(ServerAccounts, LoginOutcomesAndStoredFigures) {
    const std::string host = "127.0.4.2";
    ServerProcess server(host, "", testConfig());
    ASSERT_TRUE(server.start()) << server.log();

    // The lobby's new-account request: score 100, no games, 5 gemstones, today's date.
    ASSERT_EQ(createAccount(host, "bob", "bob@example.org"), 0);
    auto password = mailedPassword(server.dataDir(), "bob");
    ASSERT_TRUE(password);
    auto entries = ladder(host);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].stats.score, 100);
    EXPECT_EQ(entries[0].stats.gemstones, 5);
    EXPECT_EQ(entries[0].stats.country, 42);

    int bytes = 0;
    auto reply = login(host, "bob", played(180, 3, 1, 0, 5), *password, &bytes);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginAccepted);
    EXPECT_EQ(reply->grant, 5);
    EXPECT_GE(bytes, 1282);
    EXPECT_LE(bytes, 1537);
    entries = ladder(host);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].stats.score, 180);
    EXPECT_EQ(entries[0].stats.won, 3);
    EXPECT_EQ(entries[0].stats.gemstones, 10);  // the 5 sent plus the grant

    reply = login(host, "bob", played(180, 3, 1, 0, 5), "wrongpass", &bytes);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginWrongPassword);
    EXPECT_LT(bytes, 256);
    reply = login(host, "nobody", played(180, 3, 1, 0, 5), *password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginUnknownName);

    // Fewer games than already recorded, or a date that is none, are not plausible.
    reply = login(host, "bob", played(180, 1, 1, 0, 5), *password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginDataNotRecognised);
    zrt::AccountStats badDate = played(180, 3, 1, 0, 5);
    badDate.month = 13;
    reply = login(host, "bob", badDate, *password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginDataNotRecognised);
    // Losing score and spending gemstones is normal play.
    reply = login(host, "bob", played(90, 3, 5, 1, 0), *password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginAccepted);
    EXPECT_EQ(storedScore(host, "bob"), 90);
}

TEST(ServerAccounts, NamesTakenRefusedAndUndeliverable) {
    const std::string host = "127.0.4.3";
    ServerProcess server(host, "", testConfig());
    ASSERT_TRUE(server.start()) << server.log();

    EXPECT_EQ(createAccount(host, "carol", "carol@example.org"), 0);
    EXPECT_EQ(createAccount(host, "carol", "other@example.org"), 1);
    EXPECT_EQ(createAccount(host, "CAROL", "other@example.org"), 1);
    // Names the server does not take: with a space, too long, empty.
    EXPECT_EQ(createAccount(host, "a b", "x@example.org"), 1);
    EXPECT_EQ(createAccount(host, "elevenchars", "x@example.org"), 1);
    EXPECT_EQ(createAccount(host, "", "x@example.org"), 1);
    // Addresses the mail cannot go to, one of them an attempt to add a header: no account.
    EXPECT_EQ(createAccount(host, "dave", "no-at-sign"), 3);
    EXPECT_EQ(createAccount(host, "dave", "d@x.org\r\nBcc: all@x.org"), 3);
    EXPECT_EQ(createAccount(host, "dave", ""), 3);
    EXPECT_EQ(outboxCount(server.dataDir()), 1);
    EXPECT_EQ(ladder(host).size(), 1u);
    auto reply = login(host, "dave", played(100, 0, 0, 0, 5), "whatever");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginUnknownName);
    // The name is still free once delivery works.
    EXPECT_EQ(createAccount(host, "dave", "dave@example.org"), 0);
}

TEST(ServerAccounts, UndeliverableSmtpKeepsNoAccount) {
    const std::string host = "127.0.4.4";
    // An SMTP server that is not there: nothing listens on port 1 of this address.
    ServerProcess server(host, "", testConfig("[mail]\nsmtp_url = \"smtp://" + host + ":1\"\n"));
    ASSERT_TRUE(server.start()) << server.log();
    EXPECT_EQ(createAccount(host, "erin", "erin@example.org"), 3);
    EXPECT_EQ(outboxCount(server.dataDir()), 0);
    EXPECT_TRUE(ladder(host).empty());
    EXPECT_FALSE(mailedPassword(server.dataDir(), "erin"));
}

TEST(ServerAccounts, RestartKeepsAccounts) {
    TempDir tmp;
    const std::string host = "127.0.4.5";
    std::string password;
    {
        ServerProcess server(host, tmp.path(), testConfig());
        ASSERT_TRUE(server.start()) << server.log();
        ASSERT_EQ(createAccount(host, "frank", "frank@example.org"), 0);
        password = mailedPassword(server.dataDir(), "frank").value_or("");
        auto reply = login(host, "frank", played(222, 2, 0, 0, 5), password);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->status, zrt::kLoginAccepted);
        EXPECT_EQ(server.stop(), 0);
    }
    ServerProcess again(host, tmp.path());
    ASSERT_TRUE(again.start()) << again.log();
    auto reply = login(host, "frank", played(230, 3, 0, 0, 10), password);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, zrt::kLoginAccepted);
    EXPECT_EQ(createAccount(host, "frank", "frank@example.org"), 1);
    EXPECT_EQ(storedScore(host, "frank"), 230);
}

}  // namespace
}  // namespace zrttest
