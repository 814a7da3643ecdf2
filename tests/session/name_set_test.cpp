// NameSet: buckets, rings, duplicates, removal order and copies.
#include "lobby/session/name_set.h"

#include <gtest/gtest.h>

#include <string>

namespace zrt {
namespace {

TEST(NameSet, BucketIsByteSumModHundred) {
    EXPECT_EQ(NameSet::bucketOf(""), 0u);
    EXPECT_EQ(NameSet::bucketOf("A"), 65u);
    EXPECT_EQ(NameSet::bucketOf("AB"), (65u + 66u) % 100);
    // Bytes count as unsigned values.
    EXPECT_EQ(NameSet::bucketOf("\xff"), 255u % 100);
}

TEST(NameSet, FindIsExactAndCaseSensitive) {
    NameSet set;
    set.insert("ALICE");
    set.insert("BOB");
    ASSERT_NE(set.find("ALICE"), nullptr);
    EXPECT_EQ(set.find("ALICE")->name, "ALICE");
    EXPECT_EQ(set.find("alice"), nullptr);
    EXPECT_EQ(set.find("ALIC"), nullptr);
    EXPECT_TRUE(set.contains("BOB"));
    EXPECT_FALSE(set.remove("CAROL"));
}

TEST(NameSet, DuplicatesNeedOneRemoveEach) {
    NameSet set;
    set.insert("TWIN");
    set.insert("TWIN");
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(set.remove("TWIN"));
    EXPECT_TRUE(set.contains("TWIN"));
    EXPECT_TRUE(set.remove("TWIN"));
    EXPECT_FALSE(set.contains("TWIN"));
    EXPECT_FALSE(set.remove("TWIN"));
    EXPECT_EQ(set.size(), 0u);
}

TEST(NameSet, SharedBucketSurvivesRemovalAtHeadMiddleAndEnd) {
    // "AB", "BA" and "@C" all sum to 131 and share one ring.
    ASSERT_EQ(NameSet::bucketOf("AB"), NameSet::bucketOf("BA"));
    ASSERT_EQ(NameSet::bucketOf("AB"), NameSet::bucketOf("@C"));
    NameSet set;
    set.insert("AB");
    set.insert("BA");
    set.insert("@C");
    set.insert("ZZ");
    EXPECT_TRUE(set.remove("BA"));  // middle
    EXPECT_TRUE(set.contains("AB"));
    EXPECT_TRUE(set.contains("@C"));
    EXPECT_TRUE(set.remove("AB"));  // head
    EXPECT_TRUE(set.contains("@C"));
    set.insert("AB");               // appended at the end
    EXPECT_TRUE(set.remove("AB"));  // end
    EXPECT_TRUE(set.remove("@C"));  // the only node left empties the bucket
    EXPECT_FALSE(set.contains("@C"));
    EXPECT_FALSE(set.contains("AB"));
    EXPECT_TRUE(set.contains("ZZ"));
    EXPECT_EQ(set.size(), 1u);
}

TEST(NameSet, LongNamesAreCutToTwentyCharacters) {
    NameSet set;
    set.insert(std::string(30, 'N'));
    EXPECT_TRUE(set.contains(std::string(20, 'N')));
    EXPECT_FALSE(set.contains(std::string(30, 'N')));
}

TEST(NameSet, ClearAndCopy) {
    NameSet set;
    for (int i = 0; i < 500; ++i) set.insert("P" + std::to_string(i));
    NameSet copy = set;
    set.clear();
    EXPECT_EQ(set.size(), 0u);
    EXPECT_FALSE(set.contains("P7"));
    EXPECT_EQ(copy.size(), 500u);
    EXPECT_TRUE(copy.contains("P7"));
    EXPECT_TRUE(copy.contains("P499"));
    set = copy;
    EXPECT_TRUE(set.remove("P0"));
    EXPECT_TRUE(copy.contains("P0"));
}

}  // namespace
}  // namespace zrt
