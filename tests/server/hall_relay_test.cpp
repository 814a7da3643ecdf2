// What the server relays and to whom: group messages and hall chat to the whole hall with the
// sender, player info and launch to the others only, whispers, invitations and their answers
// to the one player named; and what it drops: messages that speak for another player.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/hall_bot.h"

using namespace zrttest;

namespace {

// Three players in one hall, each past its snapshot.
class HallRelay : public ::testing::Test {
  protected:
    void enterAll(const std::string& address) {
        ASSERT_TRUE(server_.emplace(address).start());
        ASSERT_TRUE(a.enter(*server_, "Open Hall", "Anna"));
        ASSERT_TRUE(b.enter(*server_, "Open Hall", "Boris"));
        ASSERT_TRUE(c.enter(*server_, "Open Hall", "Carla"));
    }
    // Everything each bot receives up to `marker` said by `by`.
    void collect(HallBot& by, const std::string& marker) {
        ASSERT_TRUE(by.say(marker));
        auto sa = a.until(by.id(), marker);
        auto sb = b.until(by.id(), marker);
        auto sc = c.until(by.id(), marker);
        ASSERT_TRUE(sa && sb && sc);
        seenA = *sa, seenB = *sb, seenC = *sc;
    }

    std::optional<HallServer> server_;
    HallBot a, b, c;
    std::vector<BotMessage> seenA, seenB, seenC;
};

}  // namespace

TEST_F(HallRelay, GroupMessagesAndHallChatReachEveryoneWithTheSender) {
    enterAll("127.0.8.10");
    uint32_t g = a.requestGroupId();
    zrt::Bytes created = zrt::encodeGroupCreated({g, a.id(), true, false, 3, "Welcome", false});
    zrt::Bytes join = zrt::encodeGroupJoin({b.id(), g});
    zrt::Bytes leave = zrt::encodeGroupLeave({b.id(), g});
    zrt::Bytes chat = zrt::encodeChat({a.id(), 0, "hi all"});
    ASSERT_TRUE(a.send(created));
    // b joins once the group exists for it.
    std::optional<BotMessage> atB = b.next(zrt::MSG_GROUP_CREATED);
    ASSERT_TRUE(atB);
    EXPECT_EQ(atB->data, created);
    ASSERT_TRUE(b.send(join));
    ASSERT_TRUE(b.send(leave));
    collect(b, "mark");
    for (const auto* seen : {&seenA, &seenB, &seenC}) {
        EXPECT_TRUE(contains(*seen, join));
        EXPECT_TRUE(contains(*seen, leave));
    }
    EXPECT_TRUE(contains(seenA, created));
    EXPECT_TRUE(contains(seenC, created));
    // A hall line comes back to its sender too.
    ASSERT_TRUE(a.send(chat));
    ASSERT_TRUE(a.say("mark 2"));
    for (HallBot* bot : {&a, &b, &c}) {
        auto seen = bot->until(a.id(), "mark 2");
        ASSERT_TRUE(seen);
        EXPECT_TRUE(contains(*seen, chat));
    }
    EXPECT_EQ(chat.size(), 14u + 6u);
}

TEST_F(HallRelay, PlayerInfoAndLaunchReachTheOthersOnly) {
    enterAll("127.0.8.11");
    uint32_t g = a.createGroup("Go", 2);
    ASSERT_TRUE(b.join(g));
    // The members are sent to the address the host's connection comes from, not to the one
    // its launch names.
    ASSERT_TRUE(a.send(zrt::encodeLaunch({g, "192.168.1.20"})));
    zrt::Bytes launch = zrt::encodeLaunch({g, "127.0.0.1"});
    collect(a, "after launch");
    EXPECT_FALSE(contains(seenA, launch));
    EXPECT_TRUE(contains(seenB, launch));
    EXPECT_TRUE(contains(seenC, launch));
    // A newcomer's MSG_PLAYER_INFO: the three see it, the newcomer does not get it back.
    HallBot d;
    ASSERT_TRUE(d.enter(*server_, "Open Hall", "Dario"));
    ASSERT_TRUE(d.say("here"));
    auto seenD = d.until(d.id(), "here");
    ASSERT_TRUE(seenD);
    zrt::Bytes info = zrt::encodePlayerInfo(d.info());
    EXPECT_FALSE(contains(*seenD, info));
    for (HallBot* bot : {&a, &b, &c}) {
        auto seen = bot->until(d.id(), "here");
        ASSERT_TRUE(seen);
        EXPECT_TRUE(contains(*seen, info));
    }
}

TEST_F(HallRelay, WhispersInvitationsAndRepliesReachTheTargetOnly) {
    enterAll("127.0.8.12");
    uint32_t g = a.createGroup("Private");
    zrt::Bytes whisper = zrt::encodeChat({a.id(), b.id(), "psst"});
    zrt::Bytes invite = zrt::encodeInvite({a.id(), b.id(), g});
    ASSERT_TRUE(a.send(whisper));
    ASSERT_TRUE(a.send(invite));
    collect(a, "m1");
    EXPECT_TRUE(contains(seenB, whisper));
    EXPECT_TRUE(contains(seenB, invite));
    for (const auto* seen : {&seenA, &seenC}) {
        EXPECT_FALSE(contains(*seen, whisper));
        EXPECT_FALSE(contains(*seen, invite));
    }
    zrt::Bytes reply = zrt::encodeInviteReply({b.id(), a.id(), true});
    ASSERT_TRUE(b.send(reply));
    collect(b, "m2");
    EXPECT_TRUE(contains(seenA, reply));
    EXPECT_FALSE(contains(seenB, reply));
    EXPECT_FALSE(contains(seenC, reply));
}

TEST_F(HallRelay, MessagesSpeakingForAnotherPlayerAreDropped) {
    enterAll("127.0.8.13");
    uint32_t g = b.createGroup("Bees");
    uint32_t mine = c.requestGroupId();
    const zrt::Bytes spoofed[] = {
        zrt::encodeChat({b.id(), 0, "I am Boris"}),
        zrt::encodeChat({b.id(), a.id(), "whisper as Boris"}),
        zrt::encodeGroupJoin({a.id(), g}),
        zrt::encodeGroupLeave({b.id(), g}),
        zrt::encodeGroupCreated({mine, a.id(), false, false, 255, "not mine", false}),
        zrt::encodeInvite({b.id(), a.id(), g}),
        zrt::encodeInviteReply({a.id(), b.id(), true}),
        zrt::encodePlayerInfo(a.info()),
        zrt::encodeLaunch({g, "10.0.0.1"}),  // c is not the group's host
        // and what breaks the group rules: an id never granted, a bad capacity
        zrt::encodeGroupCreated({mine + 1000, c.id(), false, false, 255, "ungranted", false}),
        zrt::encodeGroupCreated({mine, c.id(), false, false, 9, "nine", false}),
    };
    for (const zrt::Bytes& m : spoofed) ASSERT_TRUE(c.send(m));
    collect(c, "done");
    for (const zrt::Bytes& m : spoofed) {
        EXPECT_FALSE(contains(seenA, m));
        EXPECT_FALSE(contains(seenB, m));
    }
    EXPECT_TRUE(server_->logged("names another player as its sender"));
    // Bees is untouched: a newcomer still sees Boris alone in it.
    HallBot d;
    ASSERT_TRUE(d.open(*server_, "Open Hall", "Dora"));
    ASSERT_NE(d.awaitWelcome(), 0u);
    auto snap = d.requestState();
    ASSERT_TRUE(snap);
    std::vector<uint32_t> codes = codesOf(*snap);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), zrt::MSG_GROUP_JOIN), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), zrt::MSG_GROUP_CREATED), 1);
}

TEST_F(HallRelay, OversizedAndServerOnlyMessagesAreDropped) {
    enterAll("127.0.8.14");
    zrt::Bytes longChat = zrt::encodeChat({a.id(), 0, "x"});
    longChat.insert(longChat.end() - 2, 200, 'y');  // 214 bytes: more than 100 characters
    const zrt::Bytes junk[] = {
        longChat,
        zrt::encodeWelcome(a.id()),
        zrt::encodePlayerLeft(b.id()),
        zrt::encodeGroupRemoved(1),
        zrt::encodeStateEnd(),
        zrt::encodeNews("fake news"),
        zrt::Bytes{1, 2, 3},
        zrt::Bytes{0x39, 0x30, 0, 0, 9, 9},  // unknown code 12345
        zrt::Bytes(4000, 0xEE),
    };
    for (const zrt::Bytes& m : junk) ASSERT_TRUE(a.send(m));
    collect(a, "still here");
    for (const zrt::Bytes& m : junk) {
        EXPECT_FALSE(contains(seenB, m));
        EXPECT_FALSE(contains(seenC, m));
    }
}
