// The server's pure parts in-process: configuration, schema migrations, the login rules, the
// password hashes and the mail message.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "server/account_service.h"
#include "server/account_table.h"
#include "server/database.h"
#include "server/login_policy.h"
#include "server/mailer.h"
#include "server/password_hash.h"
#include "server/schema.h"
#include "server/server_config.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrtserver {
namespace {

TEST(ServerConfigFile, DefaultsParseAndErrorsAreReported) {
    std::string err;
    auto c = parseConfig(defaultConfigText(), err);
    ASSERT_TRUE(c) << err;
    EXPECT_EQ(c->listen.address, "127.0.0.1");
    EXPECT_EQ(c->announcedAddress(), "127.0.0.1");
    EXPECT_EQ(c->listen.requestTimeoutSeconds, 10);
    EXPECT_EQ(c->accounts.hashCost, HashCost::Standard);
    EXPECT_EQ(c->listen.workers, 0);  // one per core
    EXPECT_EQ(c->gemstones.policy, GrantPolicy::Daily);
    EXPECT_TRUE(c->banners.empty());
    EXPECT_TRUE(c->mail.smtpUrl.empty());

    c = parseConfig(
        "[server]\nlisten_address = \"10.1.2.3\"\ndatabase_address = \"db.example\"\n"
        "[[banner]]\npicture_url = \"http://a/b.gif\"\nclick_url = \"http://a/\"\n"
        "[[hall]]\nname = \"Main\"\n",
        err);
    ASSERT_TRUE(c) << err;
    EXPECT_EQ(c->announcedAddress(), "db.example");
    ASSERT_EQ(c->banners.size(), 1u);

    for (const char* bad :
         {"[server\n", "[gemstones]\ngrant = 21\n", "[gemstones]\ngrant = \"x\"\n",
          "[server]\nlisten_address = \"host.example\"\n", "[accounts]\npassword_hash = \"none\"\n",
          "[[banner]]\nclick_url = \"x\"\n", "server = 3\n",
          "[halls]\nport = 9e248\n"}) {  // a float beyond any whole number
        err.clear();
        EXPECT_FALSE(parseConfig(bad, err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
}

TEST(ServerDatabase, MigratesAFreshFileAndReopens) {
    zrttest::TempDir tmp;
    std::string path = tmp.path() + "/z.db";
    {
        Database db(path);
        ASSERT_TRUE(db.ok()) << db.error();
        EXPECT_EQ(db.schemaVersion(), static_cast<int>(migrations().size()));
        AccountTable table(db);
        Account a;
        a.loginName = "Ivy";
        a.email = "ivy@example.org";
        a.passwordHash = "h";
        a.stats = zrt::newAccountStats(1, 2, 2024, 1, 1);
        EXPECT_EQ(table.insertPending(a, "ivy.eml"), InsertResult::Created);
        Account same = a;
        same.loginName = "ivy";
        EXPECT_EQ(table.insertPending(same, "ivy2.eml"), InsertResult::NameTaken);
        // Pending, it takes its name but counts nowhere else until confirmed.
        EXPECT_FALSE(table.find("Ivy"));
        EXPECT_EQ(table.count(), 0);
        ASSERT_EQ(table.pending().size(), 1u);
        EXPECT_EQ(table.pending()[0].mailFile, "ivy.eml");
        EXPECT_TRUE(table.confirm(a.id));
        EXPECT_TRUE(table.pending().empty());
        EXPECT_TRUE(table.recordLogin(a.id, a.stats, 2, 0, "2024-01-01", "10.1.2.3"));
    }
    Database again(path);
    ASSERT_TRUE(again.ok());
    AccountTable table(again);
    auto found = table.find("IVY");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->loginCounter, 2);
    EXPECT_EQ(found->lastGrantDay, "2024-01-01");
    EXPECT_EQ(found->lastLoginAddress, "10.1.2.3");

    // A database from a newer server is refused rather than damaged.
    {
        sqlite3* raw = nullptr;
        sqlite3_open(path.c_str(), &raw);
        sqlite3_exec(raw, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    Database newer(path);
    EXPECT_FALSE(newer.ok());
}

TEST(ServerLoginRules, PlausibilityAndGrant) {
    zrt::AccountStats stored = zrt::newAccountStats(1, 1, 2024, 5, 1);
    stored.won = 5;
    stored.lost = 5;
    zrt::AccountStats sent = stored;
    EXPECT_TRUE(plausibleLogin(stored, sent));
    sent.lost = 4;
    EXPECT_FALSE(plausibleLogin(stored, sent));
    sent.quit = 1;  // the lobby moves games between won and quit; the sum stays
    EXPECT_TRUE(plausibleLogin(stored, sent));
    sent.score = 0;
    sent.gemstones = 0;
    EXPECT_TRUE(plausibleLogin(stored, sent));
    sent.day = 0;
    EXPECT_FALSE(plausibleLogin(stored, sent));

    GemstoneConfig daily{GrantPolicy::Daily, 3};
    EXPECT_EQ(grantFor(daily, "", "2024-05-01"), 3);
    EXPECT_EQ(grantFor(daily, "2024-05-01", "2024-05-01"), 0);
    EXPECT_EQ(grantFor(daily, "2024-04-30", "2024-05-01"), 3);
    GemstoneConfig fixed{GrantPolicy::Fixed, 7};
    EXPECT_EQ(grantFor(fixed, "2024-05-01", "2024-05-01"), 7);
    EXPECT_EQ(grantFor(GemstoneConfig{GrantPolicy::Fixed, 0}, "", "x"), 0);

    EXPECT_TRUE(isValidLoginName("abcdefghij"));
    EXPECT_FALSE(isValidLoginName("abcdefghijk"));
    EXPECT_FALSE(isValidLoginName("a b"));
    EXPECT_FALSE(isValidLoginName("a\tb"));
    EXPECT_FALSE(isValidLoginName(""));
}

TEST(ServerPasswords, HashVerifyAndGenerate) {
    ASSERT_TRUE(initCrypto());
    auto h = hashPassword("Secret12", HashCost::Min);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->rfind("$argon2id$", 0), 0u);
    EXPECT_TRUE(verifyPassword(*h, "Secret12"));
    EXPECT_FALSE(verifyPassword(*h, "Secret13"));
    EXPECT_FALSE(verifyPassword("", "Secret12"));
    EXPECT_FALSE(verifyPassword("garbage", "Secret12"));
    std::string p = generatePassword();
    EXPECT_EQ(p.size(), 8u);
    for (char c : p) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)));
    EXPECT_NE(generatePassword(), generatePassword());
}

TEST(ServerMail, MessageAndAddresses) {
    std::string m = composePasswordMail("lobby@example.org", "kim@example.org", "kim", "Pw3xYz9a");
    EXPECT_NE(m.find("From: Zerathon Lobby <lobby@example.org>\r\n"), std::string::npos);
    EXPECT_NE(m.find("To: <kim@example.org>\r\n"), std::string::npos);
    EXPECT_NE(m.find("Date: "), std::string::npos);
    EXPECT_NE(m.find("Message-ID: <"), std::string::npos);
    EXPECT_NE(m.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(m.find("Password: Pw3xYz9a\r\n"), std::string::npos);
    // Every line ends in CRLF.
    for (size_t i = 0; i < m.size(); ++i)
        if (m[i] == '\n') {
            EXPECT_EQ(m[i - 1], '\r');
        }

    EXPECT_TRUE(isDeliverableAddress("a.b+c@example.org"));
    EXPECT_FALSE(isDeliverableAddress("a b@example.org"));
    EXPECT_FALSE(isDeliverableAddress("a@b@c"));
    EXPECT_FALSE(isDeliverableAddress("@example.org"));
    EXPECT_FALSE(isDeliverableAddress("a@"));
    EXPECT_FALSE(isDeliverableAddress("a@x.org\r\nBcc: b@x.org"));
    EXPECT_FALSE(isDeliverableAddress("<a@x.org>"));
}

}  // namespace
}  // namespace zrtserver
