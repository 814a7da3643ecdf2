// Groups and departures as the server keeps them: full and launched groups refuse joins, a
// client that vanishes leaves its group (an emptied group is removed) and the hall, and a
// lobby name taken over by a newer login ends the older player's stay.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/hall_bot.h"

using namespace zrttest;

TEST(HallGroups, FullAndLaunchedGroupsRefuseJoins) {
    HallServer server("127.0.8.20");
    ASSERT_TRUE(server.start());
    const std::string hall = "Intermediate Hall";
    HallBot host, second, third, watcher;
    ASSERT_TRUE(host.enter(server, hall, "Hanna"));
    ASSERT_TRUE(second.enter(server, hall, "Sven"));
    ASSERT_TRUE(third.enter(server, hall, "Tara"));
    ASSERT_TRUE(watcher.enter(server, hall, "Wim"));

    uint32_t pair = host.createGroup("Pair", 2);
    ASSERT_TRUE(second.join(pair));
    zrt::Bytes tooMany = zrt::encodeGroupJoin({third.id(), pair});
    ASSERT_TRUE(third.send(tooMany));
    ASSERT_TRUE(third.say("full?"));
    auto seen = watcher.until(third.id(), "full?");
    ASSERT_TRUE(seen);
    EXPECT_FALSE(contains(*seen, tooMany)) << "capacity 2 holds two";

    // Seven is the most, whatever the capacity says.
    HallBot extra[6];
    uint32_t big = third.createGroup("Big");
    ASSERT_NE(big, 0u);
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(extra[i].enter(server, hall, "Extra" + std::to_string(i)));
        ASSERT_TRUE(extra[i].join(big)) << i;
    }
    zrt::Bytes eighth = zrt::encodeGroupJoin({watcher.id(), big});
    ASSERT_TRUE(watcher.send(eighth));
    ASSERT_TRUE(watcher.say("eighth?"));
    seen = third.until(watcher.id(), "eighth?");
    ASSERT_TRUE(seen);
    EXPECT_FALSE(contains(*seen, eighth));

    // A launched group takes nobody in, even when it has room.
    uint32_t open = watcher.createGroup("Open", 255);
    ASSERT_TRUE(watcher.send(zrt::encodeLaunch({open, "10.1.1.1"})));
    ASSERT_TRUE(host.next(zrt::MSG_LAUNCH));
    zrt::Bytes late = zrt::encodeGroupJoin({host.id(), open});
    ASSERT_TRUE(host.send(late));
    ASSERT_TRUE(host.say("launched?"));
    seen = watcher.until(host.id(), "launched?");
    ASSERT_TRUE(seen);
    EXPECT_FALSE(contains(*seen, late));
    EXPECT_TRUE(
        server.logged("cannot join group " + std::to_string(open) + ": the group has launched"));
    EXPECT_TRUE(server.logged("the group is full"));
}

TEST(HallGroups, VanishedClientLeavesItsGroupAndTheHall) {
    HallServer server("127.0.8.21");
    ASSERT_TRUE(server.start());
    const std::string hall = "Gemstone Hall";
    HallBot stayer, pairHost;
    auto goner = std::make_unique<HallBot>();
    auto member = std::make_unique<HallBot>();
    ASSERT_TRUE(stayer.enter(server, hall, "Stay"));
    ASSERT_TRUE(goner->enter(server, hall, "Gone"));
    ASSERT_TRUE(pairHost.enter(server, hall, "Pairs"));
    ASSERT_TRUE(member->enter(server, hall, "Mem"));
    uint32_t solo = goner->createGroup("Solo");
    uint32_t pair = pairHost.createGroup("Pair");
    ASSERT_TRUE(member->join(pair));
    uint32_t gonerId = goner->id(), memberId = member->id();

    goner->vanish();
    std::optional<BotMessage> left = stayer.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->data, zrt::encodePlayerLeft(gonerId));
    std::optional<BotMessage> removed = stayer.next(zrt::MSG_GROUP_REMOVED);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->data, zrt::encodeGroupRemoved(solo));

    // A member who vanishes leaves a group that keeps its host: no removal.
    member->vanish();
    do {
        left = pairHost.next(zrt::MSG_PLAYER_LEFT);
        ASSERT_TRUE(left);
    } while (left->data == zrt::encodePlayerLeft(gonerId));
    EXPECT_EQ(left->data, zrt::encodePlayerLeft(memberId));

    HallBot late;
    ASSERT_TRUE(late.open(server, hall, "Late"));
    ASSERT_NE(late.awaitWelcome(), 0u);
    auto snap = late.requestState();
    ASSERT_TRUE(snap);
    // Stay, Pairs; the Pair group with its host alone; the end.
    EXPECT_EQ(codesOf(*snap), (std::vector<uint32_t>{zrt::MSG_PLAYER_INFO, zrt::MSG_PLAYER_INFO,
                                                     zrt::MSG_GROUP_CREATED, zrt::MSG_STATE_END}));
    auto g = zrt::decodeGroupCreated((*snap)[2].data.data(), (*snap)[2].data.size());
    ASSERT_TRUE(g);
    EXPECT_EQ(g->groupId, pair);
    EXPECT_TRUE(server.logged("\"Gone\" left"));
}

TEST(HallGroups, NameTakenOverInAnotherHall) {
    HallServer server("127.0.8.22");
    ASSERT_TRUE(server.start());
    HallBot older, neighbour, newer;
    ASSERT_TRUE(older.enter(server, "Amateur Hall", "Twin"));
    ASSERT_TRUE(neighbour.enter(server, "Amateur Hall", "Neighbour"));
    uint32_t g = older.createGroup("Mine");
    ASSERT_NE(g, 0u);
    // The same login (names compare without case) enters another hall.
    ASSERT_TRUE(newer.enter(server, "Expert Hall", "TWIN"));

    std::optional<BotMessage> own = older.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->data, zrt::encodePlayerLeft(older.id())) << "told with its own id";
    std::optional<BotMessage> seen = neighbour.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->data, zrt::encodePlayerLeft(older.id()));
    std::optional<BotMessage> removed = neighbour.next(zrt::MSG_GROUP_REMOVED);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->data, zrt::encodeGroupRemoved(g));

    // Whatever the older client still says is dropped; it is cut off after the grace.
    zrt::Bytes stale = zrt::encodeChat({older.id(), 0, "still me"});
    ASSERT_TRUE(older.send(stale));
    EXPECT_TRUE(older.awaitLost(15000));
    ASSERT_TRUE(newer.say("the real one"));
    HallBot probe;
    ASSERT_TRUE(probe.enter(server, "Amateur Hall", "Probe"));
    ASSERT_TRUE(probe.say("probe"));
    auto tail = neighbour.until(probe.id(), "probe");
    ASSERT_TRUE(tail);
    EXPECT_FALSE(contains(*tail, stale));
    EXPECT_TRUE(server.logged("lost its name to a newer login"));
}

TEST(HallGroups, NameTakenOverInTheSameHall) {
    HallServer server("127.0.8.23");
    ASSERT_TRUE(server.start());
    HallBot older, newer;
    ASSERT_TRUE(older.enter(server, "Open Hall", "Echo"));
    ASSERT_TRUE(newer.enter(server, "Open Hall", "Echo"));
    std::optional<BotMessage> own = older.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->data, zrt::encodePlayerLeft(older.id()));
    // The newer player sees the older one leave, and later newcomers see only the newer.
    std::optional<BotMessage> left = newer.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->data, zrt::encodePlayerLeft(older.id()));
    HallBot late;
    ASSERT_TRUE(late.open(server, "Open Hall", "Late"));
    ASSERT_NE(late.awaitWelcome(), 0u);
    auto snap = late.requestState();
    ASSERT_TRUE(snap);
    ASSERT_EQ(snap->size(), 2u);
    auto info = zrt::decodePlayerInfo((*snap)[0].data.data(), (*snap)[0].data.size());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->id, newer.id());
}
