#include "playnet/guid.h"

#include <gtest/gtest.h>

#include <set>

using playnet::Guid;

TEST(Guid, ParsesAndFormatsTheBracedForm) {
    auto g = Guid::Parse("{5b0c2e71-9A4D-47f3-8E21-3c6d0b9a7f14}");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->bytes[0], 0x5B);
    EXPECT_EQ(g->bytes[3], 0x71);
    EXPECT_EQ(g->bytes[4], 0x9A);
    EXPECT_EQ(g->bytes[15], 0x14);
    EXPECT_EQ(g->ToString(), "{5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F14}");
    EXPECT_EQ(Guid::Parse(g->ToString()), g);
    EXPECT_FALSE(g->IsNull());
    EXPECT_TRUE(Guid{}.IsNull());
}

TEST(Guid, RejectsMalformedText) {
    for (const char* bad :
         {"", "{}", "5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F14", "{5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F1}",
          "{5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F145}", "{5B0C2E71+9A4D-47F3-8E21-3C6D0B9A7F14}",
          "{5B0C2E7G-9A4D-47F3-8E21-3C6D0B9A7F14}", "{5B0C2E719-A4D-47F3-8E21-3C6D0B9A7F14}",
          "(5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F14)"}) {
        EXPECT_FALSE(Guid::Parse(bad)) << bad;
    }
}

TEST(Guid, GeneratesDistinctVersion4Ids) {
    std::set<Guid> seen;
    for (int i = 0; i < 1000; ++i) {
        Guid g = Guid::Generate();
        EXPECT_EQ(g.bytes[6] >> 4, 4);
        EXPECT_EQ(g.bytes[8] & 0xC0, 0x80);
        seen.insert(g);
    }
    EXPECT_EQ(seen.size(), 1000u);
}
