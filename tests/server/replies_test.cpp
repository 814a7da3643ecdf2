// The version, news, ladder and banner replies of a real zrtserver.
#include <gtest/gtest.h>

#include "lobby/net/banner_record.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrttest {
namespace {

TEST(ServerReplies, VersionAndDatabaseVersion) {
    const std::string host = "127.0.4.10";
    ServerProcess server(host, "",
                         testConfig("[server]\nhome_page = \"http://zerathon.example/\"\n"
                                    "database_address = \"db.zerathon.example\"\n"
                                    "news = \"Tournament on Saturday.\"\n"));
    ASSERT_TRUE(server.start()) << server.log();

    std::vector<uint8_t> reply;
    ASSERT_GT(
        exchange(host, zrt::kVersionPort, zrt::encodeVersionRequest(zrt::kVersionTag), 0, &reply),
        0);
    auto v = zrt::decodeVersionReply(reply.data(), reply.size());
    ASSERT_TRUE(v);
    EXPECT_NE(v->status, 0);
    EXPECT_EQ(v->homeUrl, "http://zerathon.example/");
    EXPECT_EQ(v->databaseAddress, "db.zerathon.example");
    EXPECT_EQ(reply.back(), 0);

    ASSERT_EQ(exchange(host, zrt::kDatabasePort,
                       zrt::encodeDatabaseVersionRequest(zrt::kVersionTag), 0, &reply),
              593);
    auto d = zrt::decodeDatabaseVersionReply(reply.data(), reply.size());
    ASSERT_TRUE(d);
    EXPECT_NE(d->status, 0);
    EXPECT_EQ(d->news, "Tournament on Saturday.");

    // A client with another tag gets no answer.
    EXPECT_EQ(exchange(host, zrt::kVersionPort, zrt::encodeVersionRequest("XX99"), 0), -1);
}

TEST(ServerReplies, VersionAnnouncesListenAddressByDefault) {
    const std::string host = "127.0.4.11";
    ServerProcess server(host, "", testConfig());
    ASSERT_TRUE(server.start()) << server.log();
    std::vector<uint8_t> reply;
    ASSERT_GT(
        exchange(host, zrt::kVersionPort, zrt::encodeVersionRequest(zrt::kVersionTag), 0, &reply),
        0);
    EXPECT_EQ(zrt::decodeVersionReply(reply.data(), reply.size())->databaseAddress, host);
    ASSERT_EQ(exchange(host, zrt::kDatabasePort,
                       zrt::encodeDatabaseVersionRequest(zrt::kVersionTag), 0, &reply),
              593);
    EXPECT_EQ(reply[81], 0);  // no news
}

TEST(ServerReplies, LadderOrderAndCap) {
    const std::string host = "127.0.4.12";
    ServerProcess server(host, "", testConfig());
    ASSERT_TRUE(server.start()) << server.log();
    EXPECT_TRUE(ladder(host).empty());

    // 55 accounts; scores set through logins. Ties are ordered by name.
    for (int i = 0; i < 55; ++i) {
        std::string name = "p" + std::to_string(100 + i);
        ASSERT_EQ(createAccount(host, name, name + "@example.org"), 0);
        auto pw = mailedPassword(server.dataDir(), name);
        ASSERT_TRUE(pw);
        zrt::AccountStats s = zrt::newAccountStats(1, 1, 2024, 5, 18);
        s.score = static_cast<uint16_t>(1000 + (i % 20) * 10);
        auto r = login(host, name, s, *pw);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->status, zrt::kLoginAccepted);
    }
    auto entries = ladder(host);
    ASSERT_EQ(entries.size(), 49u);
    EXPECT_EQ(entries[0].stats.score, 1190);
    EXPECT_EQ(entries[0].loginName, "p119");
    EXPECT_EQ(entries[1].loginName, "p139");
    for (size_t i = 1; i < entries.size(); ++i) {
        const auto& a = entries[i - 1];
        const auto& b = entries[i];
        EXPECT_TRUE(a.stats.score > b.stats.score ||
                    (a.stats.score == b.stats.score && a.loginName < b.loginName))
            << i;
    }
}

TEST(ServerReplies, BannerRotationAndNone) {
    TempDir tmp;
    {
        ServerProcess none("127.0.4.13", tmp.path() + "/none", testConfig());
        ASSERT_TRUE(none.start()) << none.log();
        std::vector<uint8_t> reply;
        EXPECT_EQ(exchange("127.0.4.13", zrt::kDatabasePort, {5}, 2, &reply), 2);
        EXPECT_EQ(reply, (std::vector<uint8_t>{0, 0}));
    }
    ServerProcess server("127.0.4.13", tmp.path() + "/three",
                         testConfig("[[banner]]\npicture_url = \"http://ads/1.gif\"\n"
                                    "click_url = \"http://one/\"\n"
                                    "[[banner]]\npicture_url = \"http://ads/2.gif\"\n"
                                    "click_url = \"http://two/\"\n"
                                    "[[banner]]\npicture_url = \"http://ads/3.gif\"\n"
                                    "click_url = \"http://three/\"\n"));
    ASSERT_TRUE(server.start()) << server.log();
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        std::vector<uint8_t> reply;
        // The whole record arrives in one read, as the periodic refresh needs.
        ASSERT_EQ(exchange("127.0.4.13", zrt::kDatabasePort, {5}, 0, &reply), 302);
        auto raw = zrt::decodeBannerRecord(reply.data(), reply.size());
        ASSERT_TRUE(raw);
        seen.push_back(raw->clickUrl);
        auto b = banner("127.0.4.13");
        ASSERT_TRUE(b);
        seen.push_back(b->clickUrl);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"http://one/", "http://two/", "http://three/",
                                              "http://one/", "http://two/", "http://three/",
                                              "http://one/", "http://two/"}));
    EXPECT_EQ(banner("127.0.4.13")->pictureUrl, "http://ads/3.gif");
}

}  // namespace
}  // namespace zrttest
