// The per-client message allowance, on the server's own hall logic with a clock the test
// moves: a burst passes, the excess is dropped, a client that keeps overdrawing is cut off.
#include <gtest/gtest.h>

#include "server/hall.h"
#include "server/message_bucket.h"

using namespace zrtserver;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(MessageBucket, BurstThenRateThenDisconnect) {
    Clock::time_point t0 = Clock::now();
    MessageBucket bucket(10, 5, t0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bucket.take(t0), MessageBucket::Verdict::Accept);
    EXPECT_EQ(bucket.take(t0), MessageBucket::Verdict::Drop);
    // A tenth of a second brings one token back.
    EXPECT_EQ(bucket.take(t0 + milliseconds(100)), MessageBucket::Verdict::Accept);
    EXPECT_EQ(bucket.take(t0 + milliseconds(100)), MessageBucket::Verdict::Drop);
    // Overdrawing without a quiet second for longer than the window: cut off.
    Clock::time_point t = t0 + milliseconds(100);
    MessageBucket::Verdict last = MessageBucket::Verdict::Drop;
    for (int i = 0; i < 2000 && last != MessageBucket::Verdict::Disconnect; ++i) {
        t += milliseconds(10);
        last = bucket.take(t);
        if (last == MessageBucket::Verdict::Accept) last = bucket.take(t);  // twice the rate
    }
    EXPECT_EQ(last, MessageBucket::Verdict::Disconnect);
    EXPECT_GT(t - t0, MessageBucket::kStrikeWindow);
    // One who pauses for a second starts afresh.
    MessageBucket calm(10, 1, t0);
    EXPECT_EQ(calm.take(t0), MessageBucket::Verdict::Accept);
    EXPECT_EQ(calm.take(t0), MessageBucket::Verdict::Drop);
    EXPECT_EQ(calm.take(t0 + std::chrono::seconds(11)), MessageBucket::Verdict::Accept);
    EXPECT_EQ(calm.take(t0 + std::chrono::seconds(11)), MessageBucket::Verdict::Drop);
}

TEST(HallRate, ExcessChatIsDroppedAndAPersistentFloodDisconnects) {
    HallShared shared;
    shared.messageRate = 2;
    shared.messageBurst = 3;
    Hall hall({"Test Hall", 5, 50}, 1, shared);
    Clock::time_point t = Clock::now();
    HallEffects fx;
    hall.playerCreated(7, "Flood", "127.0.0.1", t, fx);
    ASSERT_EQ(fx.sends.size(), 1u);  // the welcome
    zrt::PlayerEntry me;
    me.id = 7;
    me.name = "Flood";
    zrt::Bytes info = zrt::encodePlayerInfo(me);
    hall.message(7, info.data(), info.size(), t, fx);
    fx = {};
    zrt::Bytes line = zrt::encodeChat({7, 0, "spam"});
    for (int i = 0; i < 10; ++i) hall.message(7, line.data(), line.size(), t, fx);
    EXPECT_EQ(fx.sends.size(), 2u) << "the burst of 3 held the announcement and two lines";
    EXPECT_TRUE(fx.disconnect.empty());
    for (int i = 0; i < 1200 && fx.disconnect.empty(); ++i) {
        t += milliseconds(10);
        hall.message(7, line.data(), line.size(), t, fx);
    }
    ASSERT_EQ(fx.disconnect.size(), 1u);
    EXPECT_EQ(fx.disconnect[0], 7u);
}
