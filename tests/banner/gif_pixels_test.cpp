// Pixel layout operations on decoded frames.
#include "lobby/banner/gif_pixels.h"

#include <gtest/gtest.h>

using namespace zrt;

TEST(GifPixels, SwapPadAndFlip) {
    std::vector<uint8_t> px = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 2 x 2
    ASSERT_TRUE(SwapRedBlue(px, 2, 2));
    EXPECT_EQ(px, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
    EXPECT_FALSE(SwapRedBlue(px, 3, 2)) << "buffer too small for the size given";

    EXPECT_EQ(PaddedStride(1), 4u);
    EXPECT_EQ(PaddedStride(4), 12u);
    EXPECT_EQ(PaddedStride(5), 16u);
    EXPECT_EQ(PaddedStride(468), 1404u);
    auto padded = PadRows(px, 2, 2);
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->stride, 8u);
    EXPECT_EQ(padded->data,
              (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 0, 0, 9, 8, 7, 12, 11, 10, 0, 0}));
    EXPECT_FALSE(PadRows(px, 2, 3));

    ASSERT_TRUE(FlipRows(padded->data, 2, padded->stride));
    EXPECT_EQ(padded->data,
              (std::vector<uint8_t>{9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0}));
    EXPECT_FALSE(FlipRows(padded->data, 3, padded->stride));
}
