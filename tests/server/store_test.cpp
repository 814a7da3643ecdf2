// The account store's contract, run against both stores: the data folder's SQLite database
// and a PostgreSQL database of the test's own throw-away cluster (skipped where PostgreSQL is
// not installed).
#include <gtest/gtest.h>

#include <memory>

#include "server/account_table.h"
#include "server/pg_store.h"
#include "server/schema.h"
#include "tests/server/pg_cluster.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

using namespace zrtserver;

namespace {

class StoreTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (GetParam() == "sqlite") {
            open = [this]() -> AccountStore* {
                sqlite_ = std::make_unique<Database>(tmp_.path() + "/z.db");
                table_ = std::make_unique<AccountTable>(*sqlite_);
                return sqlite_->ok() ? table_.get() : nullptr;
            };
            latest = static_cast<int>(migrations().size());
        } else {
            std::string why;
            zrttest::PgCluster* cluster = zrttest::PgCluster::shared(why);
            if (!cluster && !zrttest::PgCluster::installed()) GTEST_SKIP() << why;
            ASSERT_NE(cluster, nullptr) << why;
            url_ = cluster->createDatabase();
            ASSERT_FALSE(url_.empty());
            open = [this]() -> AccountStore* {
                pg_ = std::make_unique<PgAccountStore>(url_);
                return pg_->ok() ? pg_.get() : nullptr;
            };
            latest = static_cast<int>(pgMigrations().size());
        }
        store = open();
        ASSERT_NE(store, nullptr);
    }

    int version() { return sqlite_ ? sqlite_->schemaVersion() : pg_->schemaVersion(); }

    // A confirmed account of `name` with `score`; its id.
    int64_t add(const std::string& name, uint16_t score) {
        Account a;
        a.loginName = name;
        a.email = name + "@example.org";
        a.passwordHash = "hash-" + name;
        a.stats = zrt::newAccountStats(1, 2, 2026, 1, 1);
        a.stats.score = score;
        EXPECT_EQ(store->insertPending(a, name + ".eml"), InsertResult::Created);
        EXPECT_TRUE(store->confirm(a.id));
        return a.id;
    }

    std::function<AccountStore*()> open;
    AccountStore* store = nullptr;
    int latest = 0;

  private:
    zrttest::TempDir tmp_;
    std::string url_;
    std::unique_ptr<PgAccountStore> pg_;
    std::unique_ptr<AccountTable> table_;
    std::unique_ptr<Database> sqlite_;
};

}  // namespace

TEST_P(StoreTest, PendingAccountsAndNamesWithoutCase) {
    Account a;
    a.loginName = "Ivy";
    a.email = "ivy@example.org";
    a.passwordHash = "h";
    a.stats = zrt::newAccountStats(1, 2, 2024, 1, 1);
    ASSERT_EQ(store->insertPending(a, "ivy.eml"), InsertResult::Created);
    Account same = a;
    same.loginName = "IVY";
    EXPECT_EQ(store->insertPending(same, "ivy2.eml"), InsertResult::NameTaken);
    // Pending, it holds its name but counts nowhere else until confirmed.
    EXPECT_FALSE(store->find("ivy"));
    EXPECT_EQ(store->count(), 0);
    EXPECT_TRUE(store->ladder(49).empty());
    ASSERT_EQ(store->pending().size(), 1u);
    EXPECT_EQ(store->pending()[0].mailFile, "ivy.eml");
    ASSERT_TRUE(store->confirm(a.id));
    EXPECT_TRUE(store->pending().empty());
    EXPECT_TRUE(store->removePending(a.id));
    EXPECT_EQ(store->count(), 1) << "a confirmed account is not removed as pending";

    zrt::AccountStats played = a.stats;
    played.won = 4;
    ASSERT_TRUE(store->recordLogin(a.id, played, 2, 7, "2024-01-01", "10.1.2.3"));
    ASSERT_TRUE(store->recordLogin(a.id, played, 3, 7, "", "10.1.2.4"));
    auto found = store->find("iVY");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->loginName, "Ivy");
    EXPECT_EQ(found->stats.won, 4);
    EXPECT_EQ(found->loginCounter, 3);
    EXPECT_EQ(found->lobbyByte, 7);
    EXPECT_EQ(found->lastGrantDay, "2024-01-01") << "a login without a grant keeps the day";
    EXPECT_EQ(found->lastLoginAddress, "10.1.2.4");
    EXPECT_EQ(found->createdAt.size(), 20u);
    EXPECT_FALSE(found->banned);

    // An orphan goes with removePending and frees its name.
    Account orphan = a;
    orphan.loginName = "Orphan";
    ASSERT_EQ(store->insertPending(orphan, "o.eml"), InsertResult::Created);
    EXPECT_TRUE(store->removePending(orphan.id));
    EXPECT_EQ(store->insertPending(orphan, "o.eml"), InsertResult::Created);
}

TEST_P(StoreTest, LadderListAndOperatorChanges) {
    int64_t bob = add("bob", 500);
    add("Alice", 500);
    add("carl", 500);
    add("Top", 900);
    add("a_b", 10);
    add("axb", 10);
    std::vector<zrt::LadderEntry> ladder = store->ladder(4);
    ASSERT_EQ(ladder.size(), 4u);
    EXPECT_EQ(ladder[0].loginName, "Top");
    EXPECT_EQ(ladder[1].loginName, "Alice") << "ties by name without case";
    EXPECT_EQ(ladder[2].loginName, "bob");
    EXPECT_EQ(ladder[3].loginName, "carl");

    auto names = [&](const std::string& pattern) {
        std::string out;
        for (const Account& a : store->list(pattern, 100)) out += a.loginName + " ";
        return out;
    };
    EXPECT_EQ(names("*"), "a_b Alice axb bob carl Top ");
    EXPECT_EQ(names("A*"), "a_b Alice axb ");
    EXPECT_EQ(names("a_b"), "a_b ") << "an underscore is itself, not a wildcard";
    EXPECT_EQ(names("?o?"), "bob Top ");

    ASSERT_TRUE(store->setBan(bob, true, "2099-01-01T00:00:00Z", "cheating"));
    auto banned = store->find("bob");
    ASSERT_TRUE(banned);
    EXPECT_TRUE(banned->banned);
    EXPECT_EQ(banned->bannedUntil, "2099-01-01T00:00:00Z");
    EXPECT_EQ(banned->banReason, "cheating");
    EXPECT_TRUE(banInForce(*banned, "2098-12-31T23:59:59Z"));
    EXPECT_FALSE(banInForce(*banned, "2099-01-01T00:00:00Z"));
    ASSERT_TRUE(store->setBan(bob, false, "", ""));
    EXPECT_FALSE(store->find("bob")->banned);

    ASSERT_TRUE(store->setPasswordHash(bob, "new-hash"));
    EXPECT_EQ(store->find("bob")->passwordHash, "new-hash");
    zrt::AccountStats fixed = store->find("bob")->stats;
    fixed.score = 120;
    ASSERT_TRUE(store->setStats(bob, fixed));
    EXPECT_EQ(store->find("bob")->stats.score, 120);
    EXPECT_FALSE(store->setStats(9999, fixed)) << "no such account";

    ASSERT_TRUE(store->addAudit({"", "ann (uid 1000)", "127.0.0.1", "account ban bob", "banned"}));
    ASSERT_TRUE(store->addAudit({"2020-01-01T00:00:00Z", "root (uid 0)", "ctl", "unban", "ok"}));
    std::vector<AuditEntry> audit = store->audit(10);
    ASSERT_EQ(audit.size(), 2u);
    EXPECT_EQ(audit[0].action, "unban") << "newest first";
    EXPECT_EQ(audit[0].at, "2020-01-01T00:00:00Z") << "a given time is kept (copies)";
    EXPECT_EQ(audit[1].actor, "ann (uid 1000)");
    EXPECT_EQ(audit[1].at.size(), 20u);
}

TEST_P(StoreTest, MigratedOnceAndReopened) {
    EXPECT_EQ(version(), latest);
    add("Kept", 300);
    store = open();  // the second opening finds the schema current and the data there
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(version(), latest);
    EXPECT_TRUE(store->find("kept"));
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreTest, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });
