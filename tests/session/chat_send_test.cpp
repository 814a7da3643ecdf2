// Chat sending: hall lines and whispers, nothing before the welcome or for an empty text.
#include "lobby/session/chat_send.h"

#include <gtest/gtest.h>

#include "tests/support/hall_fixture.h"

namespace zrt {
namespace {

using test::HallFixture;
using test::kOwnId;
using test::kServerId;

TEST(ChatSend, NothingBeforeTheWelcomeOrForAnEmptyText) {
    HallFixture f;
    EXPECT_FALSE(SendHallLine(f.session, f.sender, "hello"));
    EXPECT_EQ(SendWhispers(f.session, f.sender, "hello", {2, 3}), 0u);
    f.feed(encodeWelcome(kServerId));
    f.sender.sent.clear();
    EXPECT_FALSE(SendHallLine(f.session, f.sender, ""));
    EXPECT_EQ(SendWhispers(f.session, f.sender, "", {2}), 0u);
    EXPECT_TRUE(f.sender.sent.empty());
}

TEST(ChatSend, HallLineAndOneWhisperPerTarget) {
    HallFixture f;
    f.enterLive();
    EXPECT_TRUE(SendHallLine(f.session, f.sender, "hi"));
    EXPECT_EQ(SendWhispers(f.session, f.sender, "psst", {2, 3, 4}), 3u);
    ASSERT_EQ(f.sender.sent.size(), 4u);
    EXPECT_EQ(f.sender.sent[0].bytes, encodeChat({kOwnId, 0, "hi"}));
    EXPECT_EQ(f.sender.sent[0].bytes.size(), 16u);
    EXPECT_EQ(f.sender.sent[3].bytes, encodeChat({kOwnId, 4, "psst"}));
    for (const auto& s : f.sender.sent) EXPECT_FALSE(s.guaranteed);
    EXPECT_EQ(SendWhispers(f.session, f.sender, "psst", {}), 0u);
}

}  // namespace
}  // namespace zrt
