// The hall tables: capacities, removal order, the own-group index, and the joinable and
// launchable rules.
#include "lobby/session/hall_tables.h"

#include <gtest/gtest.h>

#include "lobby/session/block_list.h"
#include "lobby/session/group_table.h"
#include "lobby/session/player_table.h"

namespace zrt {
namespace {

TEST(HallTables, FullTablesRefuseTheRecord) {
    PlayerTable players;
    for (uint32_t id = 1; id <= PlayerTable::kCapacity; ++id) {
        ASSERT_TRUE(players.append(PlayerEntry{.id = id}));
    }
    EXPECT_FALSE(players.append(PlayerEntry{.id = 5000}));
    EXPECT_EQ(players.size(), 1000u);
    EXPECT_FALSE(players.contains(5000));

    GroupTable groups;
    for (uint32_t id = 1; id <= GroupTable::kCapacity; ++id) {
        ASSERT_TRUE(groups.append(GroupEntry{.id = id}));
    }
    EXPECT_FALSE(groups.append(GroupEntry{.id = 9999}));
    EXPECT_EQ(groups.size(), 500u);

    BlockList blocked;
    for (uint32_t id = 1; id <= BlockList::kCapacity; ++id) ASSERT_TRUE(blocked.add(id));
    EXPECT_TRUE(blocked.add(3));  // already listed
    EXPECT_FALSE(blocked.add(5000));
    EXPECT_EQ(blocked.size(), 1024u);

    GroupEntry full{.id = 1, .capacity = 255, .members = {1, 2, 3, 4, 5, 6, 7}};
    EXPECT_FALSE(full.addMember(8));
    GroupEntry pair{.id = 2, .capacity = 2, .members = {1, 2}};
    EXPECT_FALSE(pair.addMember(3));
}

TEST(HallTables, RemovalKeepsOrder) {
    PlayerTable players;
    for (uint32_t id : {10u, 20u, 30u}) players.append(PlayerEntry{.id = id});
    EXPECT_TRUE(players.remove(20));
    EXPECT_FALSE(players.remove(20));
    EXPECT_EQ(players[1].id, 30u);

    BlockList blocked;
    for (uint32_t id : {4u, 5u, 4u, 6u}) blocked.add(id);
    EXPECT_EQ(blocked.ids(), (std::vector<uint32_t>{4, 5, 6}));
    blocked.remove(5);
    EXPECT_EQ(blocked.ids(), (std::vector<uint32_t>{4, 6}));

    GroupEntry g{.members = {1, 2, 3}};
    g.removeMember(1);
    EXPECT_EQ(g.members, (std::vector<uint32_t>{2, 3}));
}

TEST(HallTables, OwnGroupIndexFollowsRemovals) {
    GroupTable groups;
    for (uint32_t id : {1u, 2u, 3u, 4u}) groups.append(GroupEntry{.id = id});
    groups.setOwnIndex(2);
    groups.removeAt(3);  // later: unchanged
    EXPECT_EQ(groups.ownIndex(), 2);
    groups.removeAt(0);  // earlier: drops by one
    EXPECT_EQ(groups.ownIndex(), 1);
    EXPECT_EQ(groups[1].id, 3u);
    groups.removeAt(1);  // itself: none
    EXPECT_EQ(groups.ownIndex(), -1);
}

// A hall where the own player (id 1) is host of group 10 at position 0 and group 20 is
// another group at position 1.
HallTables hallWithOwnGroup(GroupEntry own) {
    HallTables hall;
    own.id = 10;
    hall.groups.append(own);
    hall.groups.append(GroupEntry{.id = 20, .capacity = 4, .members = {5}});
    hall.groups.setOwnIndex(0);
    hall.ownGroupId = 10;
    hall.host = own.members.at(0) == 1;
    return hall;
}

TEST(HallTables, Launchable) {
    struct Case {
        const char* what;
        GroupEntry own;
        bool launchable;
    };
    const Case cases[] = {
        {"count not set, alone", {.capacity = 255, .members = {1}}, false},
        {"count not set, alone, saved game",
         {.savedGame = true, .capacity = 255, .members = {1}},
         true},
        {"count not set, two", {.capacity = 255, .members = {1, 2}}, true},
        {"capacity 3, two", {.capacity = 3, .members = {1, 2}}, false},
        {"capacity 3, three", {.capacity = 3, .members = {1, 2, 3}}, true},
        {"complete but not host", {.capacity = 2, .members = {2, 1}}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hallWithOwnGroup(c.own).isLaunchable(), c.launchable) << c.what;
    }
    HallTables none;
    EXPECT_FALSE(none.isLaunchable());
    EXPECT_EQ(none.ownGroupMemberCount(), 0u);
}

TEST(HallTables, Joinable) {
    HallTables hall = hallWithOwnGroup({.capacity = 255, .members = {1}});
    EXPECT_FALSE(hall.isJoinable(0));  // own group
    EXPECT_TRUE(hall.isJoinable(1));
    hall.groups[1].inviteOnly = true;
    EXPECT_FALSE(hall.isJoinable(1));
    hall.groups[1].inviteOnly = false;
    hall.groups[1].launched = true;
    EXPECT_FALSE(hall.isJoinable(1));
    hall.groups[1].launched = false;
    hall.groups[1].members = {5, 6, 7, 8};  // capacity 4 reached
    EXPECT_FALSE(hall.isJoinable(1));
    hall.groups[1].capacity = 255;
    hall.groups[1].members = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_FALSE(hall.isJoinable(1));
    EXPECT_FALSE(hall.isJoinable(2));  // no such row
}

}  // namespace
}  // namespace zrt
