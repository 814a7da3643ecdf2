// The dispatcher's player, chat, welcome, state, invitation, news and system handling, seen
// through what it sends, what it tells the UI and what the tables hold afterwards.
#include "lobby/session/session_dispatcher.h"

#include <gtest/gtest.h>

#include "playnet/system_messages.h"
#include "tests/support/hall_fixture.h"

namespace zrt {
namespace {

using test::HallFixture;
using test::kOwnId;
using test::kServerId;
using test::makePlayer;

TEST(Welcome, FirstWelcomeAsksForStateAndAnnouncesTheOwnPlayer) {
    HallFixture f;
    EXPECT_EQ(f.feed(encodeWelcome(kServerId)), DispatchResult::Continue);
    EXPECT_EQ(f.session.serverPlayerId, kServerId);
    EXPECT_TRUE(f.session.WaitForWelcome(0));
    ASSERT_EQ(f.sender.sent.size(), 2u);
    EXPECT_EQ(f.sender.sent[0].bytes, encodeStateRequest());
    EXPECT_TRUE(f.sender.sent[0].guaranteed);
    PlayerEntry own = makePlayer(kOwnId, "Me", 150);
    own.address = "10.0.0.0";  // the profile given at hall entry
    EXPECT_EQ(f.sender.sent[1].bytes, encodePlayerInfo(own));
    EXPECT_TRUE(f.sender.sent[1].guaranteed);
    auto hall = f.session.hall.read();
    EXPECT_TRUE(hall->snapshot);
    ASSERT_EQ(hall->players.size(), 1u);
    EXPECT_EQ(hall->players[0].id, kOwnId);
    EXPECT_FLOAT_EQ(hall->players[0].ping, -1.0f);
}

TEST(Welcome, SecondWelcomeDoesNothing) {
    HallFixture f;
    f.feed(encodeWelcome(kServerId));
    f.session.WaitForWelcome(0);
    f.sender.sent.clear();
    f.session.leavePending = true;
    f.feed(encodeWelcome(99));
    EXPECT_EQ(f.session.serverPlayerId, kServerId);
    EXPECT_TRUE(f.sender.sent.empty());
    EXPECT_TRUE(f.ui.calls.empty());
    EXPECT_FALSE(f.session.WaitForWelcome(0));
    EXPECT_TRUE(f.session.leavePending);
    EXPECT_EQ(f.session.hall.read()->players.size(), 1u);
}

TEST(Welcome, WelcomeNamingPlayerZeroIsNoWelcome) {
    HallFixture f;
    f.feed(encodeWelcome(0));
    EXPECT_TRUE(f.sender.sent.empty());
    EXPECT_FALSE(f.session.WaitForWelcome(0));
}

TEST(Snapshot, StateEndListsEveryOtherPlayerOnce) {
    HallFixture f;
    f.feed(encodeWelcome(kServerId));
    f.feed(encodePlayerInfo(makePlayer(2, "Ann", 120)));
    f.feed(encodePlayerInfo(makePlayer(3, "Bob", 90)));
    f.feed(encodePlayerInfo(makePlayer(2, "Ann", 120)));  // repeated: not added again
    f.feed(encodePlayerInfo(makePlayer(kOwnId, "Me")));   // own echo: ignored
    EXPECT_TRUE(f.ui.calls.empty());                      // nothing shown while the snapshot loads
    f.feed(encodeStateEnd());
    EXPECT_EQ(f.ui.calls,
              (std::vector<std::string>{"line+ 2 Ann\t120", "line+ 3 Bob\t90", "status"}));
    f.ui.calls.clear();
    f.dispatcher.FlushRefresh();
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"refresh-groups 1", "repaint-top"}));
    EXPECT_FALSE(f.session.hall.read()->snapshot);
    EXPECT_EQ(f.session.hall.playerCount(), 3u);

    f.ui.calls.clear();
    f.feed(encodeStateEnd());  // outside the snapshot: nothing
    EXPECT_TRUE(f.ui.calls.empty());
}

TEST(Players, ArrivalAndDeparture) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    f.feed(encodePlayerInfo(makePlayer(3, "Bob", 77)));
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"line+ 3 Bob\t77"}));
    f.session.minimised = true;
    f.feed(encodePlayerInfo(makePlayer(4, "Cid", 60)));  // minimised: the title must follow
    EXPECT_EQ(f.ui.calls,
              (std::vector<std::string>{"line+ 3 Bob\t77", "line+ 4 Cid\t60", "status"}));
    f.ui.calls.erase(f.ui.calls.begin() + 1, f.ui.calls.end());
    f.feed(encodePlayerLeft(3));
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"line+ 3 Bob\t77", "line- 3", "status"}));
    EXPECT_FALSE(f.session.hall.player(3));
    f.dispatcher.FlushRefresh();
    EXPECT_EQ(f.ui.calls.back(), "repaint-top");
}

TEST(Players, ListedPlayerOrOwnIdAddsNothingButLeavesGroups) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann"), makePlayer(3, "Bob")});
    f.create(50, 2);
    f.join(3, 50);
    f.create(60, kOwnId);
    f.ui.calls.clear();

    f.feed(encodePlayerInfo(makePlayer(3, "Bob")));
    f.feed(encodePlayerInfo(makePlayer(kOwnId, "Me")));
    EXPECT_EQ(f.members(50), (std::vector<uint32_t>{2}));
    EXPECT_TRUE(f.members(60).empty());  // own group gone with its only member
    EXPECT_EQ(f.session.hall.read()->players.size(), 3u);
    EXPECT_EQ(f.session.hall.read()->ownGroupId, 0u);
    for (const auto& call : f.ui.calls) EXPECT_NE(call.rfind("line+", 0), 0u) << call;
}

TEST(Players, DepartureOfUnknownPlayerChangesNothing) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    f.feed(encodePlayerLeft(55));
    f.dispatcher.FlushRefresh();
    EXPECT_TRUE(f.ui.calls.empty());
    EXPECT_EQ(f.session.hall.read()->players.size(), 2u);
}

TEST(Players, OwnIdLeavingMeansTheNameWasTakenOver) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    EXPECT_EQ(f.feed(encodePlayerLeft(kOwnId)), DispatchResult::Stop);
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"error Another player has used your name !"}));
}

TEST(Players, FullPlayerTableRefusesTheArrival) {
    HallFixture f;
    f.enterLive();
    for (uint32_t n = 1; n < PlayerTable::kCapacity; ++n) {  // the own player is the 1000th
        f.feed(encodePlayerInfo(makePlayer(2000 + n, "P")));
    }
    f.ui.calls.clear();
    f.feed(encodePlayerInfo(makePlayer(5000, "Late")));
    EXPECT_TRUE(f.ui.calls.empty());
    EXPECT_FALSE(f.session.hall.player(5000));
    EXPECT_EQ(f.session.hall.playerCount(), 1000u);
}

TEST(Chat, LinesWhispersAndBlockedSenders) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann"), makePlayer(3, "Bob")});
    f.feed(encodeChat({2, 0, "hello"}));
    f.feed(encodeChat({3, kOwnId, "psst"}));
    f.feed(encodeChat({77, 0, "from nobody"}));  // sender not in the hall
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"chat 2 Ann : hello", "chat 3 Bob ~ psst"}));

    f.ui.calls.clear();
    f.session.hall.block(3);
    f.feed(encodeChat({3, kOwnId, "psst again"}));
    f.feed(encodeChat({3, 0, "to all"}));
    f.feed(encodeInvite({3, kOwnId, 50}));
    EXPECT_TRUE(f.ui.calls.empty());
    f.session.hall.unblock(3);
    f.feed(encodeInvite({3, kOwnId, 50}));
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"invitation 3 50"}));
}

TEST(Chat, WhisperBetweenDialogMembersAlsoGoesToTheDialog) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann"), makePlayer(3, "Bob"), makePlayer(4, "Cid")});
    f.create(50, kOwnId);
    f.join(2, 50);
    ASSERT_TRUE(f.session.hall.openGroupDialog());
    f.ui.calls.clear();
    f.feed(encodeChat({2, kOwnId, "in group"}));
    f.feed(encodeChat({3, kOwnId, "outsider"}));
    f.feed(encodeChat({2, 0, "hall line"}));
    EXPECT_EQ(f.ui.calls,
              (std::vector<std::string>{"chat 2 Ann ~ in group", "dialog-chat 2 Ann ~ in group",
                                        "chat 3 Bob ~ outsider", "chat 2 Ann : hall line"}));
    f.session.hall.closeGroupDialog();
    f.ui.calls.clear();
    f.feed(encodeChat({2, kOwnId, "closed"}));
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"chat 2 Ann ~ closed"}));
}

TEST(Dispatch, ShortMessagesAndUnknownCodesHaveNoEffect) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    const uint8_t welcome[4] = {0, 0, 0, 0};
    for (size_t n = 0; n <= 3; ++n) f.dispatcher.DispatchMessage(welcome, n);
    f.dispatcher.DispatchMessage(nullptr, 0);
    for (uint32_t code : {3u, 99u, 106u, 112u, 0xFFFFFFFFu}) {
        const uint8_t msg[12] = {static_cast<uint8_t>(code),
                                 static_cast<uint8_t>(code >> 8),
                                 static_cast<uint8_t>(code >> 16),
                                 static_cast<uint8_t>(code >> 24),
                                 2,
                                 0,
                                 0,
                                 0,
                                 1,
                                 0,
                                 0,
                                 0};
        EXPECT_EQ(f.dispatcher.DispatchMessage(msg, sizeof msg), DispatchResult::Continue);
    }
    // Truncated known messages are dropped too.
    auto info = encodePlayerInfo(makePlayer(9, "Zed"));
    f.dispatcher.DispatchMessage(info.data(), 30);
    f.dispatcher.FlushRefresh();
    EXPECT_TRUE(f.ui.calls.empty());
    EXPECT_TRUE(f.sender.sent.empty());
    EXPECT_EQ(f.session.hall.read()->players.size(), 2u);
}

TEST(Dispatch, EveryTruncationOfEveryMessageIsSafe) {
    const std::vector<std::vector<uint8_t>> messages = {
        encodeWelcome(test::kServerId),
        encodeChat({2, 0, "hello"}),
        encodeLaunch({50, "1.2.3.4"}),
        encodePlayerInfo(makePlayer(9, "Zed")),
        encodePlayerLeft(2),
        encodeGroupCreated({50, 2, false, false, 255, "T", false}),
        encodeGroupRemoved(50),
        encodeGroupJoin({2, 50}),
        encodeGroupLeave({2, 50}),
        encodeStateEnd(),
        encodeGroupIdReply(5),
        encodeInvite({2, kOwnId, 50}),
        encodeInviteReply({2, kOwnId, true}),
        encodeNews("news")};
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    for (const auto& m : messages) {
        for (size_t n = 0; n <= m.size(); ++n) f.dispatcher.DispatchMessage(m.data(), n);
    }
    // Whole messages did their work; the own player and Ann are still there.
    EXPECT_TRUE(f.session.hall.player(9));
    EXPECT_EQ(f.session.hall.read()->players[0].id, kOwnId);
}

TEST(Dispatch, TitleCarriesPlayersAndOwnGroupMembers) {
    HallFixture f;
    f.enterLive();
    EXPECT_EQ(f.session.hall.lobbyTitle(), "ZRTH Lobby [ 1 / 0 ]");
    f.feed(encodePlayerInfo(makePlayer(2, "Ann")));
    f.create(50, kOwnId);
    f.join(2, 50);
    EXPECT_EQ(f.session.hall.lobbyTitle(), "ZRTH Lobby [ 2 / 2 ]");
}

TEST(Snapshot, PlayerAnnouncedBeforeTheWelcomeIsListedOnce) {
    HallFixture f;
    f.feed(encodePlayerInfo(makePlayer(2, "Ann")));
    f.feed(encodeWelcome(kServerId));
    f.feed(encodePlayerInfo(makePlayer(3, "Bob")));
    f.feed(encodeStateEnd());
    EXPECT_EQ(f.ui.count("line+ 2 Ann\t100"), 1u);
    EXPECT_EQ(f.ui.count("line+ 3 Bob\t100"), 1u);
    for (const auto& c : f.ui.calls) EXPECT_EQ(c.find("Me"), std::string::npos) << c;
}

TEST(Dispatch, InviteReplyNewsAndGroupId) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    f.feed(encodeInviteReply({2, kOwnId, true}));
    f.feed(encodeInviteReply({2, kOwnId, false}));
    f.feed(encodeNews("Server maintenance"));
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"invite-reply 2 yes", "invite-reply 2 no",
                                                    "news Server maintenance"}));
    f.feed(encodeGroupIdReply(0));  // never a grant
    EXPECT_FALSE(f.session.groupIdEvent.tryWait());
    f.feed(encodeGroupIdReply(321));
    EXPECT_TRUE(f.session.groupIdEvent.tryWait());
    EXPECT_EQ(f.session.grantedGroupId, 321u);
}

TEST(Dispatch, SessionLost) {
    HallFixture f;
    EXPECT_EQ(f.dispatcher.DispatchSystemMessage(0x21), DispatchResult::Continue);
    EXPECT_TRUE(f.ui.calls.empty());
    EXPECT_EQ(f.dispatcher.DispatchSystemMessage(playnet::kSysSessionLost), DispatchResult::Stop);
    EXPECT_EQ(f.ui.calls,
              (std::vector<std::string>{"error Connection with Lobby Server has Lost"}));
}

TEST(Refresh, RepaintNeverLowersATableChange) {
    RefreshRequests r;
    r.requestGroups(RefreshRequests::kTableChanged);
    r.requestGroups(RefreshRequests::kRepaint);
    EXPECT_EQ(r.groups, RefreshRequests::kTableChanged);
    r.clear();
    r.requestGroups(RefreshRequests::kRepaint);
    EXPECT_EQ(r.groups, RefreshRequests::kRepaint);
    r.requestGroups(RefreshRequests::kTableChanged);
    EXPECT_EQ(r.groups, RefreshRequests::kTableChanged);
}

TEST(Refresh, FlushHandsOverOnceThenNothing) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    f.create(50, 2);
    f.join(kOwnId, 50);  // repaint request after the creation's table change
    f.ui.calls.clear();
    f.dispatcher.FlushRefresh();
    EXPECT_EQ(f.ui.calls, (std::vector<std::string>{"refresh-groups 1"}));
    f.ui.calls.clear();
    f.dispatcher.FlushRefresh();
    EXPECT_TRUE(f.ui.calls.empty());
}

}  // namespace
}  // namespace zrt
