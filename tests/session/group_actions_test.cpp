// The user-interface thread's group operations against a recording sender. A "server" hook
// on the sender answers group-id requests and echoes group messages through the dispatcher,
// as the lobby server does; without it every wait runs out (short waits keep the tests quick).
#include "lobby/session/group_actions.h"

#include <gtest/gtest.h>

#include "tests/support/hall_fixture.h"

namespace zrt {
namespace {

using test::HallFixture;
using test::kOwnId;
using test::makePlayer;

constexpr int kShortWaitMs = 20;

struct ActionsFixture : HallFixture {
    GroupActions actions{session, sender, kShortWaitMs};
    uint32_t nextGroupId = 77;

    ActionsFixture() { enterLive({makePlayer(2, "Ann"), makePlayer(3, "Bob")}); }

    // Answers like the lobby server: a group id for a request, an echo for group changes.
    void serverAnswers() {
        sender.onSend = [this](const std::vector<uint8_t>& m) {
            const uint32_t code = m[0];
            if (code == MSG_GROUP_ID) {
                feed(encodeGroupIdReply(nextGroupId++));
            } else if (code == MSG_GROUP_CREATED || code == MSG_GROUP_JOIN ||
                       code == MSG_GROUP_LEAVE) {
                feed(m);
            }
        };
    }
    std::vector<uint32_t> sentCodes() const {
        std::vector<uint32_t> codes;
        for (const auto& s : sender.sent) codes.push_back(s.code());
        return codes;
    }
    uint32_t ownGroup() { return session.hall.read()->ownGroupId; }
};

SavedGameQuestion noSavedGames() {
    return {0, nullptr};
}

SavedGameQuestion answering(std::optional<int> choice) {
    return {3, [choice] { return choice; }};
}

TEST(GroupActions, LeavingWithNoGroupSucceedsAtOnceAndResetsTheChoice) {
    ActionsFixture f;
    f.session.savedGameChoice = 2;
    EXPECT_TRUE(f.actions.LeaveOwnGroup(true));
    EXPECT_EQ(f.session.savedGameChoice, -1);
    EXPECT_TRUE(f.sender.sent.empty());
    EXPECT_EQ(f.actions.QuitGroup(), GroupResult::Sent);
}

TEST(GroupActions, NoEchoWithinTheWaitCannotConnectAndChangesNothing) {
    ActionsFixture f;
    f.create(50, 2);
    f.join(kOwnId, 50);
    f.session.savedGameChoice = 1;

    EXPECT_EQ(f.actions.QuitGroup(), GroupResult::CannotConnect);
    EXPECT_STREQ(groupResultText(GroupResult::CannotConnect),
                 "Cannot Connect to the Server.\nPlease try later.");
    EXPECT_EQ(f.ownGroup(), 50u);
    EXPECT_EQ(f.session.savedGameChoice, 1);
    EXPECT_FALSE(f.session.leavePending);
    ASSERT_EQ(f.sentCodes(), std::vector<uint32_t>{MSG_GROUP_LEAVE});
    EXPECT_FALSE(f.sender.sent[0].guaranteed);

    f.sender.sent.clear();
    EXPECT_EQ(f.actions.CreateGroup({}), GroupResult::CannotConnect);
    EXPECT_EQ(f.actions.JoinGroup(0, noSavedGames()), GroupResult::CannotConnect);
    EXPECT_EQ(f.sentCodes(), (std::vector<uint32_t>{MSG_GROUP_LEAVE, MSG_GROUP_LEAVE}));
    EXPECT_EQ(f.ownGroup(), 50u);
}

TEST(GroupActions, GroupIdWithoutReplyStopsTheCreation) {
    ActionsFixture f;
    EXPECT_FALSE(f.actions.RequestGroupId());
    EXPECT_EQ(f.actions.CreateGroup({}), GroupResult::CannotConnect);
    EXPECT_EQ(f.sentCodes(), (std::vector<uint32_t>{MSG_GROUP_ID, MSG_GROUP_ID}));
    EXPECT_EQ(f.sender.sent[0].bytes, encodeGroupIdRequest());
}

TEST(GroupActions, CreateLeavesTheOldGroupThenSendsTheNewOne) {
    ActionsFixture f;
    f.serverAnswers();
    f.create(50, 2);
    f.join(kOwnId, 50);
    f.sender.sent.clear();

    NewGroup group{.inviteOnly = true, .savedGameChoice = 4, .capacity = 2, .title = "Duel"};
    EXPECT_EQ(f.actions.CreateGroup(group), GroupResult::Sent);
    EXPECT_EQ(f.sentCodes(),
              (std::vector<uint32_t>{MSG_GROUP_LEAVE, MSG_GROUP_ID, MSG_GROUP_CREATED}));
    EXPECT_EQ(f.sender.sent[2].bytes,
              encodeGroupCreated({77, kOwnId, true, true, 2, "Duel", false}));
    EXPECT_TRUE(f.sender.sent[2].guaranteed);
    EXPECT_EQ(f.ownGroup(), 77u);
    EXPECT_EQ(f.members(50), std::vector<uint32_t>{2});
    EXPECT_EQ(f.session.savedGameChoice, 4);
    EXPECT_TRUE(f.session.hall.read()->host);
}

TEST(GroupActions, JoiningASavedGameGroupAsksForTheSavedGame) {
    ActionsFixture f;
    f.serverAnswers();
    f.create(50, 2, 255, true);

    EXPECT_EQ(f.actions.JoinGroup(0, noSavedGames()), GroupResult::NoSavedGame);
    EXPECT_STREQ(groupResultText(GroupResult::NoSavedGame),
                 "This group plays a saved game.\nYou don't have any local saved game.");
    EXPECT_EQ(f.actions.JoinGroup(0, answering(std::nullopt)), GroupResult::Cancelled);
    EXPECT_TRUE(f.sender.sent.empty());

    EXPECT_EQ(f.actions.JoinGroup(0, answering(2)), GroupResult::Sent);
    EXPECT_EQ(f.session.savedGameChoice, 2);
    ASSERT_EQ(f.sentCodes(), std::vector<uint32_t>{MSG_GROUP_JOIN});
    EXPECT_TRUE(f.sender.sent[0].guaranteed);
    EXPECT_EQ(f.members(50), (std::vector<uint32_t>{2, kOwnId}));
    EXPECT_EQ(f.actions.JoinGroup(5, noSavedGames()), GroupResult::Cancelled);  // no such row
}

TEST(GroupActions, InvitationsBothWays) {
    ActionsFixture f;
    f.serverAnswers();
    f.create(50, kOwnId);
    f.create(60, 3);
    f.sender.sent.clear();

    EXPECT_FALSE(f.actions.Invite(99));
    EXPECT_TRUE(f.actions.Invite(2));
    ASSERT_EQ(f.sender.sent.size(), 1u);
    EXPECT_EQ(f.sender.sent[0].bytes, encodeInvite({kOwnId, 2, 50}));
    EXPECT_FALSE(f.sender.sent[0].guaranteed);

    auto details = f.actions.LookUpInvitation(3, 60);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->inviter.name, "Bob");
    EXPECT_EQ(details->groupNumber, 2u);
    EXPECT_EQ(details->title, "G60");
    EXPECT_FALSE(f.actions.LookUpInvitation(99, 60));
    EXPECT_FALSE(f.actions.LookUpInvitation(3, 61));

    f.sender.sent.clear();
    EXPECT_EQ(f.actions.ReplyToInvitation(3, 60, false, noSavedGames()), GroupResult::Cancelled);
    EXPECT_EQ(f.sender.sent.at(0).bytes, encodeInviteReply({kOwnId, 3, false}));
    EXPECT_EQ(f.actions.ReplyToInvitation(3, 60, true, noSavedGames()), GroupResult::Sent);
    EXPECT_EQ(f.sentCodes(), (std::vector<uint32_t>{MSG_INVITE_REPLY, MSG_INVITE_REPLY,
                                                    MSG_GROUP_LEAVE, MSG_GROUP_JOIN}));
    EXPECT_EQ(f.ownGroup(), 60u);
    EXPECT_EQ(f.members(60), (std::vector<uint32_t>{3, kOwnId}));
}

TEST(GroupActions, LaunchNeedsAHostOfALaunchableGroup) {
    ActionsFixture f;
    EXPECT_FALSE(f.actions.LaunchGroup());
    f.create(50, kOwnId);  // alone, count not set, new game
    EXPECT_FALSE(f.actions.LaunchGroup());
    f.join(2, 50);
    EXPECT_EQ(f.actions.LaunchGroup(), 2u);
    f.create(60, 3);
    f.join(kOwnId, 60);  // member, not host
    EXPECT_FALSE(f.actions.LaunchGroup());
}

}  // namespace
}  // namespace zrt
