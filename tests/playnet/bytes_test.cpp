#include "playnet/bytes.h"

#include <gtest/gtest.h>

using playnet::ByteReader;
using playnet::ByteWriter;

TEST(Bytes, WritesLittleEndianAndBigEndianPrefix) {
    ByteWriter w;
    w.u8(1);
    w.u16(0x0302);
    w.u32(0x07060504);
    w.u16be(0x0809);
    std::vector<uint8_t> want = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(w.data(), want);

    ByteReader r(w.data().data(), w.size());
    EXPECT_EQ(r.u8(), 1);
    EXPECT_EQ(r.u16(), 0x0302);
    EXPECT_EQ(r.u32(), 0x07060504u);
    EXPECT_EQ(r.u16be(), 0x0809);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(Bytes, ShortReadsYieldZerosAndStayFailed) {
    uint8_t data[3] = {0xff, 0xff, 0xff};
    ByteReader r(data, sizeof data);
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u8(), 0);  // nothing left after the failed read
    EXPECT_FALSE(r.ok());
}

TEST(Bytes, TextFieldsAreCutToTheirWidthAndTerminated) {
    ByteWriter w;
    w.text("ABCDEFGHIJKLMN", 11);  // 10 characters and the NUL
    ASSERT_EQ(w.size(), 11u);
    EXPECT_EQ(w.data()[10], 0);

    const char unterminated[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    ByteReader r(unterminated, sizeof unterminated);
    EXPECT_EQ(r.text(4), "abc");  // width 4 holds at most 3 characters
    EXPECT_EQ(r.textToEnd(100), "ef");
    EXPECT_TRUE(r.ok());

    ByteReader shortField(unterminated, 2);
    EXPECT_EQ(shortField.text(21), "ab");
    EXPECT_FALSE(shortField.ok());
}
