// BannerRefresh against scripted database and web servers on loopback: only a whole record of
// 302 bytes leads to a fetch, a failed fetch hands nothing over, and cancelling ends a refresh
// whose servers never answer, in either of its two exchanges.
#include "lobby/banner/banner_refresh.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "lobby/net/banner_record.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/wait_until.h"

namespace {

using Reply = ScriptedPeer::Reply;

std::string record(const std::string& pictureUrl, const std::string& clickUrl) {
    std::vector<uint8_t> r = zrt::encodeBannerRecord({pictureUrl, 0, clickUrl, 0});
    return {r.begin(), r.end()};
}

struct Received {
    std::mutex mutex;
    std::vector<zrt::NewBanner> banners;
    zrt::BannerRefresh::Ready ready() {
        return [this](zrt::NewBanner b) {
            std::lock_guard lock(mutex);
            banners.push_back(std::move(b));
        };
    }
};

}  // namespace

TEST(BannerRefresh, FetchesOnlyForAWholeRecordAndHandsOverOnlyWhatArrived) {
    ScriptedPeer web("127.0.9.8");
    web.on("/twice", {HttpAnswer(301, "", "Location: " + web.url("/moved") + "\r\n")});
    web.on("/moved", {HttpAnswer(302, "", "Location: " + web.url("/banner.gif") + "\r\n")});
    web.on("/banner.gif", {HttpAnswer(200, "GIF-bytes")});
    ScriptedPeer database("127.0.9.7", 1694);
    const std::string good = record(web.url("/banner.gif"), "http://ads.example/");
    database.on("", {good.substr(0, 301)});
    database.on("", {good + "x"});
    database.on("", {record(web.url("/twice"), "http://ads.example/")});
    database.on("", {good});

    Received received;
    zrt::BannerRefresh refresh(received.ready());
    for (int i = 1; i <= 4; ++i) {
        refresh.Start("127.0.9.7");
        EXPECT_TRUE(WaitUntil([&] { return !refresh.running(); })) << "refresh " << i;
        EXPECT_EQ(database.requests(), i);
    }
    EXPECT_EQ(web.requests(), 3);  // the two redirects of the third refresh, then the fourth
    ASSERT_EQ(received.banners.size(), 1u);
    EXPECT_EQ(std::string(received.banners[0].bytes.begin(), received.banners[0].bytes.end()),
              "GIF-bytes");
    EXPECT_EQ(received.banners[0].clickUrl, "http://ads.example/");
}

TEST(BannerRefresh, CancelEndsARefreshThatIsNeverAnswered) {
    ScriptedPeer web("127.0.9.10");
    web.on("/held.gif", {"", 0, 0, true});
    ScriptedPeer database("127.0.9.9", 1694);
    database.on("", {"", 0, 0, true});
    database.on("", {record(web.url("/held.gif"), "http://ads.example/")});
    Received received;
    zrt::BannerRefresh refresh(received.ready());

    // The database server never answers: the record exchange is broken off.
    refresh.Start("127.0.9.9");
    EXPECT_TRUE(WaitUntil([&] { return database.requests() == 1; }));
    refresh.Cancel();
    EXPECT_TRUE(WaitUntil([&] { return database.hangUps() == 1; }));

    // The web server never answers: the fetch is broken off, long before its time bound.
    refresh.Start("127.0.9.9");
    EXPECT_TRUE(WaitUntil([&] { return web.requests() == 1; }));
    std::thread cancel([&] { refresh.Cancel(); });
    EXPECT_TRUE(WaitUntil([&] { return web.hangUps() == 1; }));
    cancel.join();
    EXPECT_FALSE(refresh.running());
    EXPECT_TRUE(received.banners.empty());
}
