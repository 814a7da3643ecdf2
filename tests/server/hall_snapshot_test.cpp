// The hall's state as a newcomer receives it: every other announced player, then each group
// named by its current first member with its further members joining in member order, and
// MSG_STATE_END last; and the group ids the server grants.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/hall_bot.h"

using namespace zrttest;

TEST(HallSnapshot, PlayersThenGroupsThenStateEnd) {
    HallServer server("127.0.8.5");
    ASSERT_TRUE(server.start());
    const std::string hall = "Amateur Hall";
    HallBot a, b, c, d;
    ASSERT_TRUE(a.enter(server, hall, "Ann"));
    ASSERT_TRUE(b.enter(server, hall, "Bert"));
    ASSERT_TRUE(c.enter(server, hall, "Cleo"));
    ASSERT_TRUE(d.enter(server, hall, "Dora"));

    uint32_t alpha = a.createGroup("Alpha");
    ASSERT_NE(alpha, 0u);
    ASSERT_TRUE(b.join(alpha));
    ASSERT_TRUE(c.join(alpha));
    uint32_t beta = d.createGroup("Beta", 2);
    ASSERT_NE(beta, 0u);
    // The host leaves: Bert is the first member now, and the snapshot names him creator.
    ASSERT_TRUE(a.leave(alpha));

    HallBot e;
    ASSERT_TRUE(e.open(server, hall, "Emil"));
    ASSERT_NE(e.awaitWelcome(), 0u);
    std::optional<std::vector<BotMessage>> snap = e.requestState();
    ASSERT_TRUE(snap);
    const std::vector<uint32_t> expectedCodes = {
        zrt::MSG_PLAYER_INFO,   zrt::MSG_PLAYER_INFO, zrt::MSG_PLAYER_INFO,   zrt::MSG_PLAYER_INFO,
        zrt::MSG_GROUP_CREATED, zrt::MSG_GROUP_JOIN,  zrt::MSG_GROUP_CREATED, zrt::MSG_STATE_END};
    ASSERT_EQ(codesOf(*snap), expectedCodes);

    const HallBot* players[] = {&a, &b, &c, &d};
    for (size_t i = 0; i < 4; ++i) {
        const zrt::Bytes& m = (*snap)[i].data;
        ASSERT_EQ(m.size(), zrt::kPlayerInfoSize);
        auto info = zrt::decodePlayerInfo(m.data(), m.size());
        ASSERT_TRUE(info);
        EXPECT_EQ(*info, players[i]->info()) << "as the player announced itself";
        EXPECT_EQ((*snap)[i].from, e.server());
    }
    auto g1 = zrt::decodeGroupCreated((*snap)[4].data.data(), (*snap)[4].data.size());
    ASSERT_TRUE(g1);
    EXPECT_EQ((*snap)[4].data.size(), zrt::kGroupCreatedSize);
    EXPECT_EQ(*g1, (zrt::GroupCreatedMessage{alpha, b.id(), false, false, 255, "Alpha", false}));
    auto j1 = zrt::decodeGroupMembership((*snap)[5].data.data(), (*snap)[5].data.size());
    ASSERT_TRUE(j1);
    EXPECT_EQ(*j1, (zrt::GroupMembershipMessage{c.id(), alpha}));
    EXPECT_EQ((*snap)[5].data.size(), 12u);
    auto g2 = zrt::decodeGroupCreated((*snap)[6].data.data(), (*snap)[6].data.size());
    ASSERT_TRUE(g2);
    EXPECT_EQ(*g2, (zrt::GroupCreatedMessage{beta, d.id(), false, false, 2, "Beta", false}));
    EXPECT_EQ((*snap)[7].data.size(), 4u);

    // The newcomer does not see itself; the others learn of it by its MSG_PLAYER_INFO.
    ASSERT_TRUE(e.say("hello"));
    std::optional<std::vector<BotMessage>> seen = a.until(e.id(), "hello");
    ASSERT_TRUE(seen);
    bool announced = false;
    for (const BotMessage& m : *seen) {
        if (m.code() != zrt::MSG_PLAYER_INFO) continue;
        auto info = zrt::decodePlayerInfo(m.data.data(), m.data.size());
        if (info && info->id == e.id()) announced = true;
    }
    EXPECT_TRUE(announced);
}

TEST(HallSnapshot, LaunchedGroupCarriesTheFlagAndItsMembers) {
    HallServer server("127.0.8.6");
    ASSERT_TRUE(server.start());
    const std::string hall = "Expert Hall";
    HallBot host, member;
    ASSERT_TRUE(host.enter(server, hall, "Host"));
    ASSERT_TRUE(member.enter(server, hall, "Member"));
    uint32_t g = host.createGroup("Game", 2);
    ASSERT_TRUE(member.join(g));
    ASSERT_TRUE(host.send(zrt::encodeLaunch({g, "10.0.0.7"})));
    ASSERT_TRUE(member.next(zrt::MSG_LAUNCH));

    HallBot late;
    ASSERT_TRUE(late.open(server, hall, "Late"));
    ASSERT_NE(late.awaitWelcome(), 0u);
    std::optional<std::vector<BotMessage>> snap = late.requestState();
    ASSERT_TRUE(snap);
    ASSERT_EQ(snap->size(), 5u);
    auto created = zrt::decodeGroupCreated((*snap)[2].data.data(), (*snap)[2].data.size());
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->launched);
    EXPECT_EQ(created->creator, host.id());
    auto joined = zrt::decodeGroupMembership((*snap)[3].data.data(), (*snap)[3].data.size());
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->player, member.id());
}

TEST(HallSnapshot, GroupIdsAreNeverZeroAndNeverRepeat) {
    HallServer server("127.0.8.7");
    ASSERT_TRUE(server.start());
    HallBot a, b;
    ASSERT_TRUE(a.enter(server, "Open Hall", "Ida"));
    ASSERT_TRUE(b.enter(server, "Gemstone Hall", "Otto"));
    std::set<uint32_t> ids;
    for (int i = 0; i < 50; ++i) {
        for (HallBot* bot : {&a, &b}) {
            uint32_t id = bot->requestGroupId();
            ASSERT_NE(id, 0u);
            EXPECT_TRUE(ids.insert(id).second) << "granted twice: " << id;
        }
    }
    // The reply carries the code and the id: 8 bytes.
    ASSERT_TRUE(a.send(zrt::encodeGroupIdRequest()));
    std::optional<BotMessage> reply = a.next(zrt::MSG_GROUP_ID);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->data.size(), 8u);
}
