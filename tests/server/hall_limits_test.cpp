// The hall port against connections that would pin the server: its limits in total and per
// address (each refusal logged once), frames trickled byte by byte, heartbeats before the
// Hello, session lists asked for and never read, and a descriptor limit that would otherwise
// stop every port from accepting. A signed-in player is served all the while.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "playnet/frame.h"
#include "tests/support/hall_bot.h"
#include "tests/support/raw_peer.h"

using namespace zrttest;

namespace {

constexpr int kHallPort = playnet::kDefaultPort;

// A player in a hall and a second one hearing it: the hall serves them.
struct GoodPlayers {
    HallBot speaker, listener;
    bool enter(const HallServer& server) {
        return speaker.enter(server, "Open Hall", "Speaker") &&
               listener.enter(server, "Open Hall", "Listener");
    }
    bool served(const std::string& marker) {
        return speaker.say(marker) && listener.until(speaker.id(), marker).has_value();
    }
};

}  // namespace

TEST(HallLimits, ConnectionsAreCappedInTotalAndPerAddress) {
    HallServer server("127.0.8.40",
                      "[halls]\nmax_connections = 12\nmax_connections_per_address = 3\n");
    ASSERT_TRUE(server.start());
    GoodPlayers good;
    ASSERT_TRUE(good.enter(server));
    // Five from one address: the last two are closed at once, and logged once.
    std::vector<RawPeer> hostile(5);
    for (RawPeer& p : hostile) ASSERT_TRUE(p.connect("127.0.22.140", server.address(), kHallPort));
    EXPECT_FALSE(hostile[2].closedWithin(300));
    EXPECT_TRUE(hostile[3].closedWithin(kBoundMs));
    EXPECT_TRUE(hostile[4].closedWithin(kBoundMs));
    EXPECT_EQ(server.logCount("connection from 127.0.22.140 refused"), 1u);
    // Other addresses fill the port up to its total; beyond it every address is refused.
    std::vector<RawPeer> more;
    for (int i = 0; i < 10; ++i) {
        more.emplace_back();
        ASSERT_TRUE(more.back().connect("127.0.22." + std::to_string(141 + i / 3), server.address(),
                                        kHallPort));
    }
    size_t refused = 0;
    for (RawPeer& p : more) refused += p.closedWithin(300) ? 1 : 0;
    // 2 bots, 3 + 7 hostile, 12 at most (give or take the bots' hall listings, which close
    // as they go).
    EXPECT_GE(refused, 3u);
    EXPECT_LE(refused, 5u);
    EXPECT_TRUE(good.served("through it all"));
}

TEST(HallLimits, TricklesEarlyHeartbeatsAndDeafListenersAreCut) {
    HallServer server("127.0.8.41", "[halls]\nframe_timeout_seconds = 2\n");
    ASSERT_TRUE(server.start());
    GoodPlayers good;
    ASSERT_TRUE(good.enter(server));

    // A heartbeat before the Hello is garbage.
    RawPeer early;
    ASSERT_TRUE(early.connect("127.0.22.150", server.address(), kHallPort));
    early.send(playnet::EncodeFrame(static_cast<uint8_t>(playnet::FrameType::Heartbeat),
                                    std::span<const uint8_t>()));
    EXPECT_TRUE(early.closedWithin(kBoundMs));

    // A frame trickled a byte every 0.3 s (never silent, never whole) ends at the frame's
    // deadline.
    RawPeer trickle;
    ASSERT_TRUE(trickle.connect("127.0.22.151", server.address(), kHallPort));
    trickle.send(playnet::HelloFrame{}.Encode());
    std::vector<uint8_t> frame = playnet::EnumRequestFrame{7, kHallApp}.Encode();
    bool cut = false;
    for (size_t i = 0; i < frame.size() - 1 && !cut; ++i) {
        trickle.send({frame[i]});
        cut = trickle.closedWithin(300);
    }
    EXPECT_TRUE(cut);

    // Session lists asked for and never read: cut off long before 1 MiB is queued for it.
    RawPeer deaf;
    ASSERT_TRUE(deaf.connect("127.0.22.152", server.address(), kHallPort, 4096));
    deaf.send(playnet::HelloFrame{}.Encode());
    std::vector<uint8_t> ask = playnet::EnumRequestFrame{1, kHallApp}.Encode();
    std::vector<uint8_t> many;
    for (int i = 0; i < 2000; ++i) many.insert(many.end(), ask.begin(), ask.end());
    for (size_t at = 0; at < many.size(); at += 4096)
        deaf.send(std::vector<uint8_t>(
            many.begin() + static_cast<long>(at),
            many.begin() + static_cast<long>(std::min(at + 4096, many.size()))));
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the replies pile up unread
    std::optional<std::vector<uint8_t>> got = deaf.readUntilClosed(kBoundMs);
    ASSERT_TRUE(got) << "still open";
    EXPECT_LT(got->size(), 2000u * 300u) << "every reply was queued";

    EXPECT_TRUE(good.served("still served"));
}

TEST(HallLimits, ADescriptorLimitLeavesEveryPortAnswering) {
    HallServer server("127.0.8.42");
    server.limitDescriptors(256);
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(server.logged("descriptor limit 256"));
    // More hall connections than the server has descriptors, from many addresses, each past
    // its Hello and kept alive.
    std::vector<RawPeer> flood(400);
    for (size_t i = 0; i < flood.size(); ++i) {
        ASSERT_TRUE(flood[i].connect("127.0.21." + std::to_string(1 + i / 10), server.address(),
                                     kHallPort));
        flood[i].send(playnet::HelloFrame{}.Encode());
    }
    std::atomic<bool> done{false};
    std::thread heartbeats([&] {
        std::vector<uint8_t> beat = playnet::EncodeFrame(
            static_cast<uint8_t>(playnet::FrameType::Heartbeat), std::span<const uint8_t>());
        while (!done) {
            for (RawPeer& p : flood) p.send(beat);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    });
    // Once the server has taken them in, the version port still answers.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    RawPeer version;
    ASSERT_TRUE(version.connect("127.0.0.1", server.address(), zrt::kVersionPort));
    version.send(zrt::encodeVersionRequest(zrt::kVersionTag));
    std::optional<std::vector<uint8_t>> reply = version.readUntilClosed(kBoundMs);
    done = true;
    heartbeats.join();
    ASSERT_TRUE(reply);
    EXPECT_GT(reply->size(), 81u);
    // And once the server has seen the flood go, players get into a hall.
    flood.clear();
    std::optional<GoodPlayers> good;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (good.emplace().enter(server)) break;
        good.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    ASSERT_TRUE(good);
    EXPECT_TRUE(good->served("under the limit"));
}

TEST(HallLimits, UnderChatItCannotTakeADeafPlayerAloneIsCutAndTheShedIsLogged) {
    HallServer server("127.0.8.44",
                      "[halls]\nrequire_sign_in = false\nmessage_rate = 1000\n"
                      "message_burst = 1000\n");
    ASSERT_TRUE(server.start());
    GoodPlayers good;
    ASSERT_TRUE(good.enter(server));

    // An announced player that reads up to its welcome and never again, but keeps its
    // heartbeat: only what it fails to take can end it.
    RawPeer deaf;
    ASSERT_TRUE(deaf.connect("127.0.22.160", server.address(), kHallPort, 4096));
    uint32_t deafId = deaf.enterHall("Open Hall", "Deaf");
    ASSERT_NE(deafId, 0u);
    std::optional<playnet::MessageFrame> welcome = deaf.nextMessage(kBoundMs);
    ASSERT_TRUE(welcome);
    zrt::PlayerEntry info;
    info.id = deafId;
    info.name = "Deaf";
    deaf.sendMessage(deafId, welcome->from, zrt::encodePlayerInfo(info));
    std::atomic<bool> done{false};
    std::thread heartbeats([&] {
        std::vector<uint8_t> beat = playnet::EncodeFrame(
            static_cast<uint8_t>(playnet::FrameType::Heartbeat), std::span<const uint8_t>());
        while (!done) {
            deaf.send(beat);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    });

    // Hall chat at 500 lines/s (bounded: 45 s) until the deaf player is seen leaving.
    std::string line(100, 'x');
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(45);
    bool cut = false;
    while (!cut && std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 25; ++i) good.speaker.say(line);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cut = server.log().find("\"Deaf\" left") != std::string::npos;
    }
    done = true;
    heartbeats.join();
    EXPECT_TRUE(cut);
    EXPECT_TRUE(server.logged("hall chat deliveries shed to readers that fell behind"));
    // The readers were never cut off, and the hall serves them once the load is gone.
    EXPECT_TRUE(good.served("after the flood"));
    EXPECT_EQ(server.logCount(" left ("), 1u);
    // The cut is logged with its reason (the summary comes at most every 10 s).
    auto logEnd = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!server.logged("links cut:") && std::chrono::steady_clock::now() < logEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(server.logged("halls: links cut: 1 stalled"));
}
