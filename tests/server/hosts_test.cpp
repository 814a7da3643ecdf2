// Several lobby hosts on one PostgreSQL store (the test's own throw-away cluster; skipped where
// PostgreSQL is missing): accounts, bans, the ladder and one login per name hold across them,
// the version server sends new clients to the host with most room and leaves out one that
// stopped; and a SQLite store copied into PostgreSQL by migrate-store serves on.
#include <gtest/gtest.h>

#include <fstream>

#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "tests/server/pg_cluster.h"
#include "tests/support/hall_bot.h"
#include "tests/support/wait_until.h"

using namespace zrttest;

namespace {

// A fresh database of the cluster; empty when PostgreSQL is not installed (the test then
// skips). A cluster that is installed but does not start is a failure.
std::string sharedStore() {
    std::string why;
    PgCluster* cluster = PgCluster::shared(why);
    if (!cluster && PgCluster::installed()) ADD_FAILURE() << why;
    std::string url = cluster ? cluster->createDatabase() : std::string();
    if (cluster && url.empty()) ADD_FAILURE() << "no database could be created";
    return url;
}

std::string storeConfig(const std::string& url) {
    return "[database]\nurl = \"" + url + "\"\n";
}

// The database server the version server at `host` names.
std::string versionChoice(const std::string& host) {
    std::vector<uint8_t> reply;
    if (exchange(host, zrt::kVersionPort, zrt::encodeVersionRequest(zrt::kVersionTag), 0, &reply) <=
        0)
        return {};
    auto decoded = zrt::decodeVersionReply(reply.data(), reply.size());
    return decoded ? decoded->databaseAddress : std::string();
}

// Waits (bounded) until the version server at `host` names `wanted`.
bool choiceBecomes(const std::string& host, const std::string& wanted) {
    return WaitUntil([&] { return versionChoice(host) == wanted; }, 20000);
}

}  // namespace

TEST(LobbyHosts, TwoHostsShareAccountsLadderNamesAndClients) {
    std::string url = sharedStore();
    if (url.empty()) GTEST_SKIP() << "PostgreSQL 15 is not installed";
    HallServer a("127.0.17.11", storeConfig(url)), b("127.0.17.12", storeConfig(url));
    ASSERT_TRUE(a.start());
    ASSERT_TRUE(b.start());

    // Made on A, it logs in on B with the password A mailed; the ladder is one.
    ASSERT_TRUE(signIn(a.address(), a.dataDir(), "Roamer"));
    auto password = mailedPassword(a.dataDir(), "Roamer");
    ASSERT_TRUE(password);
    auto onB = login(b.address(), "Roamer", zrt::newAccountStats(1, 1, 2026, 1, 1), *password);
    ASSERT_TRUE(onB);
    EXPECT_LT(onB->status, 200);
    std::vector<zrt::LadderEntry> fromA = ladder(a.address()), fromB = ladder(b.address());
    ASSERT_EQ(fromA.size(), 1u);
    ASSERT_EQ(fromB.size(), 1u);
    EXPECT_EQ(fromA[0].loginName, fromB[0].loginName);

    // A name in a hall on A that enters a hall on B leaves only the newer.
    HallBot older, newer;
    ASSERT_TRUE(older.join(a.address(), "Open Hall", "Roamer"));
    ASSERT_NE(older.awaitWelcome(), 0u);
    ASSERT_TRUE(older.requestState());
    // Clients go to the host with most room: B, while A holds a player.
    EXPECT_TRUE(choiceBecomes(a.address(), b.address()));
    EXPECT_TRUE(choiceBecomes(b.address(), b.address()));

    ASSERT_TRUE(newer.join(b.address(), "Open Hall", "Roamer"));
    ASSERT_NE(newer.awaitWelcome(), 0u);
    ASSERT_TRUE(newer.requestState());
    std::optional<BotMessage> left = older.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(left) << "the older holder on A is told he left";
    EXPECT_EQ(zrt::decodePlayerLeft(left->data.data(), left->data.size()), older.id());
    EXPECT_TRUE(older.awaitLost(kBoundMs));

    // A ban given on A takes the player out of his hall on B.
    EXPECT_EQ(runCtl(a.dataDir(), {"account", "ban", "Roamer"}).status, 0);
    EXPECT_TRUE(newer.awaitLost(kBoundMs));

    // A host that stops is left out: every client now goes to A.
    b.kill();
    EXPECT_TRUE(choiceBecomes(a.address(), a.address()));
}

TEST(LobbyHosts, MigrateStoreCopiesSqliteIntoPostgresql) {
    std::string url = sharedStore();
    if (url.empty()) GTEST_SKIP() << "PostgreSQL 15 is not installed";
    HallServer server("127.0.17.13");
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(signIn(server.address(), server.dataDir(), "Moved"));
    ASSERT_TRUE(signIn(server.address(), server.dataDir(), "Banned"));
    ASSERT_EQ(runCtl(server.dataDir(), {"account", "ban", "Banned", "--reason", "x"}).status, 0);
    std::vector<zrt::LadderEntry> before = ladder(server.address());
    ASSERT_EQ(server.stop(), 0);

    std::ofstream(server.dataDir() + "/zrtserver.toml", std::ios::app) << storeConfig(url);
    CtlResult copy = runCtl(server.dataDir(), {});  // usage only: no command
    EXPECT_EQ(copy.status, 2);
    std::string exe = std::string(ZRT_BIN_DIR) + "/zrtserver";
    ASSERT_EQ(std::system((exe + " migrate-store --data " + server.dataDir()).c_str()), 0);
    EXPECT_NE(
        std::system((exe + " migrate-store --data " + server.dataDir() + " 2>/dev/null").c_str()),
        0)
        << "a second copy into a store that holds accounts is refused";

    ASSERT_TRUE(server.start());
    EXPECT_TRUE(server.logged("PostgreSQL postgresql://zrt@"));
    auto moved = login(server.address(), "Moved", zrt::newAccountStats(1, 1, 2026, 1, 1),
                       *mailedPassword(server.dataDir(), "Moved"));
    ASSERT_TRUE(moved);
    EXPECT_LT(moved->status, 200);
    auto banned = login(server.address(), "Banned", zrt::newAccountStats(1, 1, 2026, 1, 1),
                        *mailedPassword(server.dataDir(), "Banned"));
    ASSERT_TRUE(banned);
    EXPECT_EQ(banned->status, zrt::kLoginDataNotRecognised);
    EXPECT_EQ(ladder(server.address()).size(), before.size());
    EXPECT_NE(runCtl(server.dataDir(), {"audit"}).output.find("account ban Banned --reason x"),
              std::string::npos);
}
