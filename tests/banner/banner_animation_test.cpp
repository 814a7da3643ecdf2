// BannerAnimation against giflib's decoding of the same file: each composed image (a key
// colour left out, a disposal of 2 clearing its rectangle, a frame clipped at the screen's
// edge), the delays it hands the pane's timer, and the generated demo banner.
#include "lobby/banner/banner_animation.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "gif_fixtures.h"

using namespace zrt_test;

namespace {

std::vector<uint8_t> Indexes(int w, int h, int mod) {
    std::vector<uint8_t> v(size_t(w) * h);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>((i * 5 + i / w) % mod);
    return v;
}

// The composed image as tight red-green-blue rows, as the reference gives them.
std::vector<uint8_t> RgbRows(const zrt::BannerImage& image) {
    std::vector<uint8_t> out;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = &image.pixels[size_t(y) * image.stride + size_t(x) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
    return out;
}

}  // namespace

TEST(BannerAnimation, ComposesEachFrameAsGiflibDecodesItWithTheFileDelays) {
    GifMovie m;
    m.width = 40;
    m.height = 20;
    m.globalTable = SamplePalette(16);
    m.background = 3;
    m.loopCount = 0;
    GifImage full{0, 0, 40, 20, false, {}, Indexes(40, 20, 16)};
    full.delay = 5;
    GifImage keyed{5, 4, 10, 8, false, {}, Indexes(10, 8, 16)};
    keyed.transparent = 7;  // and a delay of 0
    GifImage cleared{12, 2, 6, 6, false, {}, Indexes(6, 6, 16)};
    cleared.transparent = 2;
    cleared.disposal = 2;
    cleared.delay = 9;
    GifImage clipped{0, 0, 20, 10, false, {}, Indexes(20, 10, 16)};
    clipped.delay = 4;
    m.images = {full, keyed, cleared, clipped};
    std::vector<uint8_t> gif = EncodeGif(m);
    ASSERT_TRUE(MoveImage(gif, 20, 10, 30, 15));  // 10 columns and 5 rows past the screen
    const auto ref = GiflibComposed(gif);
    ASSERT_TRUE(ref);
    ASSERT_EQ(ref->size(), 4u);

    zrt::BannerAnimation a;
    a.Start(gif.data(), gif.size());
    EXPECT_EQ(a.currentDelay(), 5);
    for (size_t k = 0; k <= 4; ++k) {
        if (k > 0) a.Compose();
        ASSERT_TRUE(a.image());
        // After one pass the first frame, which covers the screen, comes round again.
        EXPECT_EQ(RgbRows(*a.image()), (*ref)[k % 4].pixels) << "frame " << k;
        EXPECT_EQ(a.nextDelay(), (*ref)[(k + 1) % 4].delay) << "frame " << k;
    }
}

TEST(BannerAnimation, DemoBannerPlaysAsGiflibDecodesIt) {
    std::ifstream in(std::string(ZRT_GAME_DIR) + "/LobbyRes/demo/banner_anim.gif",
                     std::ios::binary);
    const std::vector<uint8_t> gif{std::istreambuf_iterator<char>(in), {}};
    const auto ref = GiflibComposed(gif);
    ASSERT_TRUE(ref);
    ASSERT_GT(ref->size(), 1u);
    zrt::BannerAnimation a;
    a.Start(gif.data(), gif.size());
    for (size_t k = 0; k < ref->size(); ++k) {
        if (k > 0) a.Compose();
        ASSERT_TRUE(a.image());
        EXPECT_EQ(RgbRows(*a.image()), (*ref)[k].pixels) << "frame " << k;
    }
}
