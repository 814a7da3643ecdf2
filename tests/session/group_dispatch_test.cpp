// Group messages at the dispatcher: creation, joins, leaves, removal, launch, host succession
// and the snapshot's special cases.
#include <gtest/gtest.h>

#include "tests/support/hall_fixture.h"

namespace zrt {
namespace {

using test::HallFixture;
using test::kOwnId;
using test::makePlayer;

using Ids = std::vector<uint32_t>;

// A live hall with the own player and Ann (2), Bob (3), Cid (4), Dan (5).
struct GroupFixture : HallFixture {
    GroupFixture() {
        enterLive({makePlayer(2, "Ann"), makePlayer(3, "Bob"), makePlayer(4, "Cid"),
                   makePlayer(5, "Dan")});
    }
    bool host() { return session.hall.read()->host; }
    uint32_t ownGroup() { return session.hall.read()->ownGroupId; }
    int ownIndex() { return session.hall.read()->groups.ownIndex(); }
};

TEST(GroupDispatch, CreationPutsTheCreatorFirst) {
    GroupFixture f;
    f.create(50, kOwnId, 4);
    EXPECT_EQ(f.members(50), Ids{kOwnId});
    EXPECT_EQ(f.ownGroup(), 50u);
    EXPECT_TRUE(f.host());
    EXPECT_EQ(f.ownIndex(), 0);
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"status"}));
    f.ui.calls.clear();
    f.dispatcher.FlushRefresh();
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"refresh-groups 1"}));
}

TEST(GroupDispatch, CreatorMustBeKnown) {
    GroupFixture f;
    f.create(50, 99);
    f.create(0, 2);  // group id 0 means "no group"
    EXPECT_TRUE(f.session.hall.read()->groups.empty());
}

TEST(GroupDispatch, HostOfThreeLeavesAndTheSecondMemberBecomesHost) {
    GroupFixture f;
    f.create(50, 2, 3);
    f.join(kOwnId, 50);
    f.join(3, 50);
    EXPECT_FALSE(f.host());
    EXPECT_FALSE(f.session.hall.ownGroupStatus().launchable);
    ASSERT_TRUE(f.session.hall.openGroupDialog());
    f.ui.calls.clear();

    f.leave(2, 50);
    EXPECT_EQ(f.members(50), (Ids{kOwnId, 3}));
    EXPECT_TRUE(f.host());
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"dialog-left 2", "status"}));

    f.join(4, 50);  // complete again: the new host may launch
    EXPECT_TRUE(f.session.hall.ownGroupStatus().launchable);
    EXPECT_EQ(f.ui.calls.back(), "dialog-joined 4");
    EXPECT_EQ(f.session.hall.read()->groupDialog.members, (Ids{kOwnId, 3, 4}));
}

TEST(GroupDispatch, LastMemberLeavesAndLaterGroupNumbersDropByOne) {
    GroupFixture f;
    f.create(50, 2);
    f.create(60, 3);
    f.create(70, kOwnId);
    EXPECT_EQ(f.ownIndex(), 2);
    f.dispatcher.FlushRefresh();
    f.ui.calls.clear();

    f.leave(2, 50);
    auto rows = f.session.hall.groupRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].group.id, 60u);
    EXPECT_EQ(rows[0].tablePosition + 1, 1u);  // was group #2
    EXPECT_EQ(rows[1].tablePosition + 1, 2u);  // was group #3
    EXPECT_TRUE(rows[1].own);
    EXPECT_EQ(f.ownIndex(), 1);
    f.dispatcher.FlushRefresh();
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"refresh-groups 1"}));
}

TEST(GroupDispatch, JoinToAFullGroupChangesNothing) {
    GroupFixture f;
    f.create(50, 2, 2);
    f.join(3, 50);
    f.join(4, 50);
    EXPECT_EQ(f.members(50), (Ids{2, 3}));

    f.create(60, 5, 255);
    for (uint32_t id : {2u, 3u, kOwnId}) f.join(id, 60);
    // Seven would need players we do not have: fill with directly placed members instead.
    {
        auto hall = f.session.hall.write();
        auto& g = hall->groups[static_cast<size_t>(hall->groups.indexOf(60))];
        g.members = {5, 2, 3, 11, 12, 13, 14};
    }
    f.join(4, 60);
    EXPECT_EQ(f.members(60), (Ids{5, 2, 3, 11, 12, 13, 14}));
}

TEST(GroupDispatch, MemberOfAJoiningBEndsUpOnlyInB) {
    GroupFixture f;
    f.create(50, 2);
    f.join(3, 50);
    f.create(60, 4);
    f.join(3, 60);
    EXPECT_EQ(f.members(50), Ids{2});
    EXPECT_EQ(f.members(60), (Ids{4, 3}));
}

TEST(GroupDispatch, OwnJoinAndLeaveEcho) {
    GroupFixture f;
    f.create(50, 2);
    f.join(kOwnId, 50);
    EXPECT_EQ(f.ownGroup(), 50u);
    EXPECT_FALSE(f.host());
    f.session.leavePending = true;
    f.leave(kOwnId, 50);
    EXPECT_TRUE(f.session.leaveConfirmedEvent.tryWait());
    EXPECT_EQ(f.ownGroup(), 0u);
    EXPECT_EQ(f.ownIndex(), -1);
    EXPECT_EQ(f.members(50), Ids{2});
}

TEST(GroupDispatch, RemovalOfTheOwnGroupClosesTheDialog) {
    GroupFixture f;
    f.create(40, 3);
    f.create(50, kOwnId);
    f.join(2, 50);
    ASSERT_TRUE(f.session.hall.openGroupDialog());
    f.session.leavePending = true;
    f.ui.calls.clear();
    f.feed(encodeGroupRemoved(50));
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"status", "dialog-close"}));
    EXPECT_TRUE(f.session.leaveConfirmedEvent.tryWait());
    EXPECT_EQ(f.ownGroup(), 0u);
    EXPECT_FALSE(f.host());
    EXPECT_EQ(f.ownIndex(), -1);
    EXPECT_TRUE(f.members(50).empty());
    EXPECT_FALSE(f.session.hall.read()->groupDialog.open);

    f.ui.calls.clear();
    f.feed(encodeGroupRemoved(40));  // another group: only the table changes
    EXPECT_TRUE(f.session.hall.read()->groups.empty());
    EXPECT_TRUE(f.ui.calls.empty());
}

TEST(GroupDispatch, LaunchedGroupTakesJoinsOnlyDuringTheSnapshot) {
    HallFixture f;
    f.feed(encodeWelcome(test::kServerId));
    f.feed(encodePlayerInfo(makePlayer(2, "Ann")));
    f.feed(encodePlayerInfo(makePlayer(3, "Bob")));
    f.feed(encodePlayerInfo(makePlayer(4, "Cid")));
    f.create(50, 2, 255, false, true);
    f.join(3, 50);
    EXPECT_EQ(f.members(50), (Ids{2, 3}));
    EXPECT_TRUE(f.session.hall.isInGameName("Ann"));
    EXPECT_TRUE(f.session.hall.isInGameName("Bob"));
    f.feed(encodeStateEnd());

    f.join(4, 50);
    EXPECT_EQ(f.members(50), (Ids{2, 3}));
    EXPECT_FALSE(f.session.hall.isInGameName("Cid"));
    auto rows = f.session.hall.groupRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].joinable);
}

TEST(GroupDispatch, LaunchMarksOtherGroupsAndStartsMembers) {
    GroupFixture f;
    f.create(50, 2);
    f.join(3, 50);
    f.create(60, 4);
    f.join(kOwnId, 60);
    f.create(70, 5);
    f.dispatcher.FlushRefresh();
    f.ui.calls.clear();

    EXPECT_EQ(f.feed(encodeLaunch({50, "10.0.0.2"})), DispatchResult::Continue);
    EXPECT_TRUE(f.session.hall.isInGameName("Ann"));
    EXPECT_TRUE(f.session.hall.isInGameName("Bob"));
    auto rows = f.session.hall.groupRows();  // launched groups come last
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].group.id, 50u);
    EXPECT_TRUE(rows[2].group.launched);
    f.dispatcher.FlushRefresh();
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"refresh-groups 0", "repaint-players"}));

    f.ui.calls.clear();
    EXPECT_EQ(f.feed(encodeLaunch({60, "10.0.0.4"})), DispatchResult::Stop);
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"member-launch 10.0.0.4"}));

    f.feed(encodePlayerLeft(2));  // a leaving player's highlight goes with him
    EXPECT_FALSE(f.session.hall.isInGameName("Ann"));
}

TEST(GroupDispatch, FullGroupTableRefusesTheGroup) {
    GroupFixture f;
    {
        auto hall = f.session.hall.write();
        for (uint32_t id = 1; id <= GroupTable::kCapacity; ++id) {
            hall->groups.append(GroupEntry{.id = 1000 + id, .members = {900}});
        }
    }
    f.create(50, kOwnId);
    EXPECT_EQ(f.session.hall.read()->groups.size(), GroupTable::kCapacity);
    EXPECT_EQ(f.ownGroup(), 0u);
    EXPECT_EQ(f.ownIndex(), -1);
}

TEST(GroupDispatch, SnapshotPostsNoStatus) {
    HallFixture f;
    f.feed(encodeWelcome(test::kServerId));
    f.feed(encodePlayerInfo(makePlayer(2, "Ann")));
    f.create(50, 2);
    f.join(kOwnId, 50);
    f.leave(2, 50);
    EXPECT_TRUE(f.session.hall.read()->host);
    EXPECT_TRUE(f.ui.calls.empty());
    EXPECT_EQ(f.dispatcher.pendingRefresh().groups, RefreshRequests::kRepaint);
}

}  // namespace
}  // namespace zrt
