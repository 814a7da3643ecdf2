// BannerFetch against scripted HTTP peers on loopback: one redirect followed, every other
// redirect refused, statuses read alike, the request headers, long and slow bodies, and a
// cancel that ends a fetch the server never answers.
#include "lobby/banner/banner_fetch.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/scripted_peer.h"
#include "tests/support/wait_until.h"

namespace {

using Reply = ScriptedPeer::Reply;

int fetch(const std::string& url, std::vector<unsigned char>& out,
          zrt::FetchCancel* cancel = nullptr) {
    return zrt::BannerFetch(url, out, cancel);
}

std::string text(const std::vector<unsigned char>& out) {
    return {out.begin(), out.end()};
}

}  // namespace

TEST(BannerFetch, FollowsOneRedirectToAnotherHttpAddressOnly) {
    ScriptedPeer other("127.0.9.2");
    other.on("/banner.gif", {HttpAnswer(200, "GIF89a-data")});
    ScriptedPeer peer("127.0.9.1");
    peer.on("/moved", {HttpAnswer(302, "", "Location: " + other.url("/banner.gif") + "\r\n")});
    peer.on("/twice", {HttpAnswer(301, "", "Location: " + peer.url("/moved") + "\r\n")});
    peer.on("/spaced", {HttpAnswer(302, "", "Location:  " + other.url("/banner.gif") + " \t\r\n")});
    peer.on("/nolocation", {HttpAnswer(303, "")});
    peer.on("/https", {HttpAnswer(302, "", "Location: https://127.0.9.2/banner.gif\r\n")});
    peer.on("/ftp", {HttpAnswer(302, "", "Location: ftp://127.0.9.2/banner.gif\r\n")});

    std::vector<unsigned char> out;
    EXPECT_EQ(fetch(peer.url("/moved"), out), 11);
    EXPECT_EQ(text(out), "GIF89a-data");
    EXPECT_EQ(fetch(peer.url("/spaced"), out), 11);  // white space around the value
    for (const char* path : {"/twice", "/nolocation", "/https", "/ftp"})
        EXPECT_EQ(fetch(peer.url(path), out), -1) << path;
    EXPECT_EQ(fetch("ftp://127.0.9.1/x.gif", out), -1);
    EXPECT_EQ(fetch("https://127.0.9.1/x.gif", out), -1);
    EXPECT_EQ(fetch("http://127.0.9.3:1/unreachable.gif", out), -1);
}

TEST(BannerFetch, ReadsEveryOtherStatusLikeOkWithTheBannerHeaders) {
    ScriptedPeer peer("127.0.9.4");
    peer.on("/missing", {HttpAnswer(404, "not here")});
    peer.on("/locked", {HttpAnswer(401, "password?", "WWW-Authenticate: Basic realm=\"x\"\r\n")});
    std::vector<unsigned char> out;
    EXPECT_EQ(fetch(peer.url("/missing"), out), 8);
    EXPECT_EQ(fetch(peer.url("/locked"), out), 9);  // no password dialog: the body is the banner
    EXPECT_EQ(peer.requests(), 2);
    const std::string request = peer.lastRequest();
    EXPECT_NE(request.find("\r\nAccept: image/gif, text/*\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: MFC_Tear_Sample\r\n"), std::string::npos) << request;
}

TEST(BannerFetch, CutsLongBodiesAndWaitsForSlowOnes) {
    ScriptedPeer peer("127.0.9.5");
    peer.on("/big", {HttpAnswer(200, std::string(zrt::kBannerBufferSize + 5000, 'x'))});
    const std::string slow(5000, 's');
    peer.on("/slow", {HttpAnswer(200, slow), 700, 40});
    std::vector<unsigned char> out;
    EXPECT_EQ(fetch(peer.url("/big"), out), static_cast<int>(zrt::kBannerBufferSize));
    EXPECT_EQ(fetch(peer.url("/slow"), out), 5000);
    EXPECT_EQ(text(out), slow);
}

TEST(BannerFetch, CancelEndsAFetchThatIsNeverAnswered) {
    ScriptedPeer peer("127.0.9.6");
    peer.on("/held", {"", 0, 0, true});
    zrt::FetchCancel cancel;
    std::vector<unsigned char> out;
    int result = 0;
    std::thread worker([&] { result = fetch(peer.url("/held"), out, &cancel); });
    EXPECT_TRUE(WaitUntil([&] { return peer.requests() == 1; }));
    cancel.Cancel();
    // The connection goes at once, long before the transfer's own time bound.
    EXPECT_TRUE(WaitUntil([&] { return peer.hangUps() == 1; }));
    worker.join();
    EXPECT_EQ(result, -1);
    // A fetch started with a cancelled handle does not even connect.
    EXPECT_EQ(fetch(peer.url("/held"), out, &cancel), -1);
    EXPECT_EQ(peer.requests(), 1);
}
