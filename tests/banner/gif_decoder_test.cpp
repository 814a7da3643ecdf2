// GifDecoder against giflib's decoding of the same files, and its answers to damaged data.
#include "lobby/banner/gif_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gif_fixtures.h"
#include "tests/support/temp_dir.h"

using namespace zrt;
using namespace zrt_test;

namespace {

std::vector<uint8_t> Indexes(int w, int h, int mod) {
    std::vector<uint8_t> v(size_t(w) * h);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>((i * 7 + i / w) % mod);
    return v;
}

// Decodes `calls` frames and checks each against giflib's frame (cycling through the pass).
void ExpectSameAsGiflib(const std::vector<uint8_t>& gif, int calls) {
    auto ref = GiflibFrames(gif);
    ASSERT_TRUE(ref);
    ASSERT_FALSE(ref->empty());
    GifDecoder d;
    for (int c = 0; c < calls; ++c) {
        auto f = d.DecodeNextFrame(gif.data(), gif.size());
        ASSERT_TRUE(f) << "call " << c << ": " << d.errorText();
        const RefFrame& r = (*ref)[size_t(c) % ref->size()];
        ASSERT_EQ(f->pixels.size(), r.pixels.size());
        EXPECT_TRUE(f->pixels == r.pixels) << "call " << c;
        EXPECT_EQ(f->delay, r.delay) << "call " << c;
    }
}

const uint8_t* Pixel(const GifFrame& f, int x, int y) {
    return &f.pixels[(size_t(y) * f.screenWidth + x) * 3];
}

}  // namespace

TEST(GifDecoder, Gif87StillImageGivesTheSameFrameOnEveryCall) {
    GifMovie m;
    m.width = 40;
    m.height = 30;
    m.gif87 = true;
    m.globalTable = SamplePalette(16);
    m.images.push_back({0, 0, 40, 30, false, {}, Indexes(40, 30, 16)});
    auto gif = EncodeGif(m);
    ASSERT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF87a");
    ExpectSameAsGiflib(gif, 3);
    GifDecoder d;
    auto f = d.DecodeNextFrame(gif.data(), gif.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->keyRed, -1);
    EXPECT_EQ(f->imageWidth, 40);
    EXPECT_EQ(d.errorText(), "No Error");
    auto size = GifSize(gif.data(), gif.size());
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 40);
    EXPECT_EQ(size->height, 30);
}

TEST(GifDecoder, LoopingAnimationCyclesThroughItsFrames) {
    GifMovie m;
    m.width = 32;
    m.height = 16;
    m.globalTable = SamplePalette(32);
    m.loopCount = 0;
    for (int k = 0; k < 4; ++k) {
        GifImage im{k * 2, k, 20, 10, false, {}, Indexes(20, 10, 8 + k)};
        im.delay = 10 * (k + 1);
        if (k == 2) im.localTable = SamplePalette(8);
        m.images.push_back(im);
    }
    auto gif = EncodeGif(m);
    ExpectSameAsGiflib(gif, 10);  // 1, 2, 3, 4, 1, 2, 3, 4, 1, 2
    GifDecoder d;
    for (int c = 0; c < 6; ++c) {
        auto f = d.DecodeNextFrame(gif.data(), gif.size());
        ASSERT_TRUE(f);
        EXPECT_EQ(f->imageLeft, (c % 4) * 2);
    }
    EXPECT_TRUE(d.loopForever());
}

TEST(GifDecoder, AnimationWithoutLoopingShowsItsFirstFrame) {
    GifMovie m = AnimatedBanner(3);
    m.loopCount.reset();
    auto gif = EncodeGif(m);
    auto ref = GiflibFrames(gif);
    GifDecoder d;
    for (int c = 0; c < 3; ++c) {
        auto f = d.DecodeNextFrame(gif.data(), gif.size());
        ASSERT_TRUE(f);
        EXPECT_TRUE(f->pixels == (*ref)[0].pixels);
    }
}

TEST(GifDecoder, InterlacedImageBelowTheTopFillsOnlyItsRows) {
    GifMovie m;
    m.width = 12;
    m.height = 40;
    m.globalTable = SamplePalette(64);
    m.background = 63;
    GifImage im{0, 10, 12, 27, true, {}, {}};
    im.control = false;
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 12; ++x)
            im.indexes.push_back(static_cast<uint8_t>(y));  // row y has colour y
    m.images.push_back(im);
    auto gif = EncodeGif(m);
    ExpectSameAsGiflib(gif, 1);
    GifDecoder d;
    auto f = d.DecodeNextFrame(gif.data(), gif.size());
    ASSERT_TRUE(f);
    auto pal = SamplePalette(64);
    for (int y = 0; y < 40; ++y) {
        int index = (y >= 10 && y < 37) ? y - 10 : 63;
        EXPECT_EQ(Pixel(*f, 5, y)[0], pal[index].r) << "row " << y;
        EXPECT_EQ(Pixel(*f, 5, y)[2], pal[index].b) << "row " << y;
    }
}

TEST(GifDecoder, TransparentIndexShowsBackgroundOnTheFirstFrame) {
    GifMovie m;
    m.width = m.height = 16;
    m.globalTable = SamplePalette(256);
    m.background = 3;
    m.loopCount = 0;
    for (int k = 0; k < 2; ++k) {
        GifImage im{2, 2, 10, 10, false, {}, Indexes(10, 10, 256)};
        for (size_t i = 0; i < im.indexes.size(); i += 3) im.indexes[i] = 200;
        im.transparent = 200;
        m.images.push_back(im);
    }
    auto gif = EncodeGif(m);
    ExpectSameAsGiflib(gif, 3);
    GifDecoder d;
    auto f = d.DecodeNextFrame(gif.data(), gif.size());
    ASSERT_TRUE(f);
    auto pal = SamplePalette(256);
    EXPECT_EQ(f->keyRed, pal[200].r);
    EXPECT_EQ(f->keyGreen, pal[200].g);
    EXPECT_EQ(f->keyBlue, pal[200].b);
    EXPECT_EQ(Pixel(*f, 2, 2)[1], pal[3].g) << "index 200 shows the background";
    EXPECT_EQ(d.transparentIndex(), 200);
    // Later frames are filled with the key colour outside their image.
    auto second = d.DecodeNextFrame(gif.data(), gif.size());
    ASSERT_TRUE(second);
    EXPECT_EQ(Pixel(*second, 0, 0)[0], pal[200].r);
    EXPECT_EQ(Pixel(*second, 2, 2)[0], pal[200].r);
}

TEST(GifDecoder, ImageReachingPastTheScreenIsClipped) {
    GifMovie m;
    m.width = m.height = 30;
    m.globalTable = SamplePalette(16);
    GifImage im{0, 0, 20, 20, false, {}, Indexes(20, 20, 16)};
    im.control = false;
    m.images.push_back(im);
    auto gif = EncodeGif(m);
    // Move the image to (20, 25) so it reaches 10 columns and 15 rows past the screen.
    ASSERT_TRUE(MoveImage(gif, 20, 20, 20, 25));
    ExpectSameAsGiflib(gif, 2);
    GifDecoder d;
    auto f = d.DecodeNextFrame(gif.data(), gif.size());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->pixels.size(), 30u * 30 * 3);
    EXPECT_EQ(f->imageLeft, 20);
    EXPECT_EQ(f->imageTop, 25);
}

TEST(GifDecoder, CutOffDataFailsWithTheRightText) {
    auto gif = EncodeGif(StillBanner());
    const size_t blockLoopStart = 13 + 64 * 3;
    GifDecoder d;
    EXPECT_FALSE(d.DecodeNextFrame(gif.data(), blockLoopStart));
    EXPECT_EQ(d.errorText(), "Unexpected EOF in GIF.\nGiving up");
    GifDecoder inDescriptor;
    EXPECT_FALSE(inDescriptor.DecodeNextFrame(gif.data(), 10));
    EXPECT_EQ(inDescriptor.errorText(), "No Error");
    GifDecoder inTable;
    EXPECT_FALSE(inTable.DecodeNextFrame(gif.data(), 100));
    EXPECT_EQ(inTable.errorText(), "Error reading GIF colormap");
    GifDecoder inImage;
    EXPECT_FALSE(inImage.DecodeNextFrame(gif.data(), blockLoopStart + 5));
    EXPECT_EQ(inImage.errorText(), "Error on dimension read\nGiving up");
    GifDecoder badVersion;
    auto v = gif;
    v[4] = '8';
    EXPECT_FALSE(badVersion.DecodeNextFrame(v.data(), v.size()));
    EXPECT_EQ(badVersion.errorText(), "Error, Bad GIF Version number");
    // Every prefix of an animation gives a frame or a failure, never more pixels than the screen.
    auto anim = EncodeGif(AnimatedBanner(2));
    for (size_t n = 0; n <= anim.size(); n += 7) {
        GifDecoder p;
        for (int c = 0; c < 3; ++c) {
            auto f = p.DecodeNextFrame(anim.data(), n);
            if (f) {
                EXPECT_EQ(f->pixels.size(), 468u * 60 * 3);
            }
        }
    }
}

TEST(GifDecoder, AspectByteWarnsOnlyForNonSquarePixels) {
    auto gif = EncodeGif(StillBanner());
    gif[12] = 49;
    GifDecoder square;
    EXPECT_TRUE(square.DecodeNextFrame(gif.data(), gif.size()));
    EXPECT_EQ(square.errorText(), "No Error");
    gif[12] = 50;
    GifDecoder wide;
    EXPECT_TRUE(wide.DecodeNextFrame(gif.data(), gif.size()));
    EXPECT_EQ(wide.errorText(), "Non-square pixels in GIF image.\nIgnoring that fact...");
}

TEST(GifDecoder, HostileHeadersAndCodeStreamsEndCleanly) {
    // No image at all, only the trailer: fails instead of starting over for ever.
    std::vector<uint8_t> empty = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B};
    GifDecoder d;
    EXPECT_FALSE(d.DecodeNextFrame(empty.data(), empty.size()));
    std::vector<uint8_t> loopingEmpty = {'G', 'I',  'F',  '8', '9', 'a', 1, 0, 1, 0, 0,   0,
                                         0,   0x21, 0xFF, 1,   'N', 3,   1, 0, 0, 0, 0x3B};
    GifDecoder l;
    EXPECT_FALSE(l.DecodeNextFrame(loopingEmpty.data(), loopingEmpty.size()));
    EXPECT_FALSE(l.DecodeNextFrame(loopingEmpty.data(), loopingEmpty.size()));

    // A logical screen above 4096 x 4096 is never allocated.
    std::vector<uint8_t> huge = {'G', 'I', 'F', '8',  '9', 'a',  0xFF, 0xFF, 0xFF, 0xFF,
                                 0,   0,   0,   0x2C, 0,   0,    0,    0,    1,    0,
                                 1,   0,   0,   2,    2,   0x4C, 0x01, 0,    0x3B};
    GifDecoder h;
    EXPECT_FALSE(h.DecodeNextFrame(huge.data(), huge.size()));
    EXPECT_EQ(h.errorText(), "Out of Memory in GIFRead");

    // Minimum code sizes above 11 are refused; 11 itself decodes.
    std::vector<uint8_t> small = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2,  0, 0,    0,    0, 0x2C, 0,
                                  0,   0,   0,   2,   0,   2,   0, 0, 12, 2, 0xFF, 0xFF, 0, 0x3B};
    GifDecoder s;
    EXPECT_FALSE(s.DecodeNextFrame(small.data(), small.size()));
    EXPECT_EQ(s.errorText(), "Error reading GIF file\nGIFScreen Colormap\nGiving up");
    small[23] = 11;
    GifDecoder s11;
    EXPECT_TRUE(s11.DecodeNextFrame(small.data(), small.size()));

    // Codes that point at themselves or past the table stop the image, not the program.
    std::vector<uint8_t> selfRef = {'G',  'I',  'F',  '8',  '9',  'a',  8,    0, 8,   0,
                                    0x80, 0,    0,    1,    2,    3,    4,    5, 6,   0x2C,
                                    0,    0,    0,    0,    8,    0,    8,    0, 0,   2,
                                    6,    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0x3B};
    GifDecoder c;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(c.DecodeNextFrame(selfRef.data(), selfRef.size()));
    EXPECT_FALSE(c.DecodeNextFrame(nullptr, 0));
}

TEST(GifDecoder, LargeAndForeignEncodedFilesMatchGiflib) {
    ExpectSameAsGiflib(EncodeGif(LargePicture()), 1);
    ExpectSameAsGiflib(EncodeGif(AnimatedBanner(10)), 12);
    // Files from another encoder (ImageMagick), when it is installed.
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ImageMagick";
    zrttest::TempDir folder;
    const std::filesystem::path dir = folder.path();
    const char* commands[] = {
        "convert rose: -interlace GIF %s/a.gif",
        "convert logo: -resize 300x200 %s/b.gif",
        "convert -size 120x80 gradient:red-blue -colors 5 -interlace None %s/c.gif",
        "convert -delay 10 -size 50x40 xc:red xc:green -page +10+10 -size 20x10 xc:blue -loop 0 "
        "%s/d.gif",
    };
    int i = 0;
    for (const char* cmd : commands) {
        char line[512];
        std::snprintf(line, sizeof line, cmd, dir.c_str());
        ASSERT_EQ(std::system(line), 0) << line;
        std::string name = dir / std::string(1, static_cast<char>('a' + i++));
        std::ifstream in(name + ".gif", std::ios::binary);
        std::vector<uint8_t> gif(std::istreambuf_iterator<char>(in), {});
        SCOPED_TRACE(line);
        ExpectSameAsGiflib(gif, 4);
    }
}
