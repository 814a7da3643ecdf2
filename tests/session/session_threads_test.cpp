// The session's two threads: a receiver thread dispatching while the UI thread reads copies of
// the tables, and a waited leave ended by the receiver's echo. Checks outcomes, not timing.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "lobby/session/group_actions.h"
#include "tests/support/hall_fixture.h"

namespace zrt {
namespace {

using test::HallFixture;
using test::kOwnId;
using test::makePlayer;

TEST(SessionThreads, UiReadsWholeMessagesWhileTheReceiverWrites) {
    HallFixture f;
    f.enterLive();
    std::atomic<bool> done{false};
    std::thread receiver([&] {
        for (uint32_t round = 0; round < 200; ++round) {
            const uint32_t a = 10 + round * 2, b = a + 1;
            f.feed(encodePlayerInfo(makePlayer(a, "A")));
            f.feed(encodePlayerInfo(makePlayer(b, "B")));
            f.create(5000 + round, a, 2);
            f.join(b, 5000 + round);
            f.feed(encodePlayerLeft(a));
            f.feed(encodePlayerLeft(b));
        }
        done = true;
    });
    // Every group the UI sees has one or two members that are known players or have just
    // left: never a half-removed group with no member.
    while (!done) {
        for (const GroupRow& row : f.session.hall.groupRows()) {
            ASSERT_FALSE(row.group.members.empty());
            ASSERT_LE(row.group.members.size(), 2u);
        }
        ASSERT_GE(f.session.hall.playerCount(), 1u);
    }
    receiver.join();
    EXPECT_TRUE(f.session.hall.read()->groups.empty());
    EXPECT_EQ(f.session.hall.playerCount(), 1u);
}

TEST(SessionThreads, WaitedLeaveEndsOnTheEchoFromTheReceiver) {
    HallFixture f;
    f.enterLive({makePlayer(2, "Ann")});
    f.create(50, 2);
    f.join(kOwnId, 50);
    std::thread receiver;
    f.sender.onSend = [&](const std::vector<uint8_t>& m) {
        receiver = std::thread([&f, m] { f.feed(m); });  // the server echoes the leave
    };
    GroupActions actions(f.session, f.sender);  // the full bounded wait
    f.session.savedGameChoice = 3;
    EXPECT_TRUE(actions.LeaveOwnGroup(true));
    receiver.join();
    EXPECT_EQ(f.session.hall.read()->ownGroupId, 0u);
    EXPECT_EQ(f.session.savedGameChoice, -1);
    EXPECT_FALSE(f.session.leavePending);
}

}  // namespace
}  // namespace zrt
