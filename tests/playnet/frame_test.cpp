#include "playnet/frame.h"

#include <gtest/gtest.h>

using playnet::EncodeFrame;
using playnet::FrameDecoder;

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<uint8_t> b) {
    return b;
}

}  // namespace

TEST(Frame, EncodesLengthTypeAndBody) {
    std::vector<uint8_t> body = {0xAA, 0xBB};
    EXPECT_EQ(EncodeFrame(0x17, body), bytesOf({3, 0, 0, 0, 0x17, 0xAA, 0xBB}));
    EXPECT_EQ(EncodeFrame(0x02, std::span<const uint8_t>{}), bytesOf({1, 0, 0, 0, 0x02}));
}

TEST(Frame, DecoderCutsFramesFromAnySplitOfTheStream) {
    std::vector<uint8_t> stream;
    for (uint8_t t = 1; t <= 5; ++t) {
        std::vector<uint8_t> body(t * 7, t);
        auto f = EncodeFrame(t, body);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    for (size_t chunk : {size_t{1}, size_t{3}, size_t{64}, stream.size()}) {
        FrameDecoder d;
        int seen = 0;
        for (size_t i = 0; i < stream.size(); i += chunk) {
            d.Append(stream.data() + i, std::min(chunk, stream.size() - i));
            uint8_t type;
            std::span<const uint8_t> body;
            while (d.Next(type, body) == FrameDecoder::Status::Frame) {
                ++seen;
                EXPECT_EQ(type, seen);
                ASSERT_EQ(body.size(), size_t(seen) * 7);
                EXPECT_EQ(body[0], seen);
            }
        }
        EXPECT_EQ(seen, 5) << "chunk " << chunk;
    }
}

TEST(Frame, DecoderRejectsZeroAndOversizedLengthsForGood) {
    for (auto prefix : {bytesOf({0, 0, 0, 0}), bytesOf({0x01, 0x00, 0x01, 0x00}),
                        bytesOf({0xFF, 0xFF, 0xFF, 0xFF})}) {
        FrameDecoder d;
        d.Append(prefix.data(), prefix.size());
        uint8_t type;
        std::span<const uint8_t> body;
        EXPECT_EQ(d.Next(type, body), FrameDecoder::Status::Bad);
        auto good = EncodeFrame(1, std::span<const uint8_t>{});
        d.Append(good.data(), good.size());
        EXPECT_EQ(d.Next(type, body), FrameDecoder::Status::Bad);
    }
    // The largest frame is accepted; its length is exactly the maximum.
    std::vector<uint8_t> body(playnet::kMaxFrameLength - 1, 7);
    auto big = EncodeFrame(9, body);
    FrameDecoder d;
    d.Append(big.data(), big.size());
    uint8_t type;
    std::span<const uint8_t> out;
    ASSERT_EQ(d.Next(type, out), FrameDecoder::Status::Frame);
    EXPECT_EQ(out.size(), body.size());
    EXPECT_EQ(d.Next(type, out), FrameDecoder::Status::NeedMore);
}
