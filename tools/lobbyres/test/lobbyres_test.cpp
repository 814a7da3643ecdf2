// Runs the picture generator into a folder of its own and reads every file back with plain
// byte parsing: BMP headers, sizes and bit depths, the key colour of transparent pictures,
// JPEG frame sizes, the GIF banners' structure, and the launcher's pictures and icons.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// CTest runs each case as its own process, possibly in parallel: each writes its own folder.
const fs::path kOut = fs::path(LOBBYRES_TEST_DIR) / std::to_string(getpid());

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t le16(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t le32(const Bytes& b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
uint32_t be16(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 8 | uint32_t(b[at + 1]);
}

struct Bmp {
    int width = 0, height = 0, bits = 0;
    Bytes file;
    // Colour of a pixel as 0xRRGGBB, (0,0) the top-left corner.
    uint32_t pixel(int x, int y) const {
        const uint32_t stride = ((uint32_t(width) * uint32_t(bits) + 31) / 32) * 4;
        const size_t row = le32(file, 10) + size_t(height - 1 - y) * stride;
        if (bits == 24) {
            const size_t at = row + size_t(x) * 3;
            return uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 1]) << 8 | file[at];
        }
        const int perByte = 8 / bits;
        const uint32_t index = (file[row + size_t(x / perByte)] >> (8 - bits * (x % perByte + 1))) &
                               ((1u << bits) - 1);
        const size_t entry = 54 + size_t(index) * 4;
        return uint32_t(file[entry + 2]) << 16 | uint32_t(file[entry + 1]) << 8 | file[entry];
    }
};

// Reads and checks the headers; fails the test on any inconsistency.
Bmp loadBmp(const std::string& name) {
    Bmp bmp;
    bmp.file = readAll(kOut / name);
    const Bytes& f = bmp.file;
    EXPECT_GE(f.size(), 54u) << name;
    if (f.size() < 54) return bmp;
    EXPECT_EQ(f[0], 'B') << name;
    EXPECT_EQ(f[1], 'M') << name;
    EXPECT_EQ(le32(f, 2), f.size()) << name;
    EXPECT_EQ(le32(f, 14), 40u) << name;
    bmp.width = int(le32(f, 18));
    bmp.height = int(le32(f, 22));
    EXPECT_EQ(le16(f, 26), 1u) << name;
    bmp.bits = int(le16(f, 28));
    EXPECT_EQ(le32(f, 30), 0u) << name << " must be uncompressed";
    const uint32_t palette = bmp.bits <= 8 ? (1u << bmp.bits) : 0;
    EXPECT_EQ(le32(f, 10), 54 + 4 * palette) << name;
    const uint32_t stride = ((uint32_t(bmp.width) * uint32_t(bmp.bits) + 31) / 32) * 4;
    EXPECT_EQ(f.size(), 54 + 4 * palette + stride * uint32_t(bmp.height)) << name;
    return bmp;
}

struct Expected {
    std::string name;
    int width, height, bits;
};

std::vector<Expected> expectedBmps() {
    std::vector<Expected> out;
    for (int i = 1; i <= 12; ++i)
        out.push_back(
            {"human" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".bmp", 40, 48, 8});
    for (int i = 1; i <= 7; ++i) out.push_back({"fiend" + std::to_string(i) + ".bmp", 40, 48, 8});
    for (int d = 0; d <= 9; ++d) out.push_back({"digit" + std::to_string(d) + ".bmp", 16, 24, 4});
    for (const char* s : {"bsNew", "bsCont", "bsQuit", "bsEnter", "bsCanc"})
        for (const char* v : {"", "2"}) out.push_back({std::string(s) + v + ".bmp", 180, 40, 24});
    const Expected lobby[] = {{"bCreate", 78, 26, 24}, {"bJoin", 60, 24, 24},
                              {"bQuit", 60, 24, 24},   {"bLaunch", 84, 26, 24},
                              {"bChall", 94, 24, 24},  {"bLadder", 94, 24, 24},
                              {"bZRHome", 94, 24, 24}, {"bLQuit", 94, 24, 24},
                              {"bMyGrp", 108, 26, 24}, {"bAbout", 70, 26, 8}};
    for (const Expected& e : lobby)
        for (const char* v : {"", "2"})
            out.push_back({e.name + v + ".bmp", e.width, e.height, e.bits});
    out.push_back({"bLaunch3.bmp", 84, 26, 4});
    out.push_back({"bMyGrp3.bmp", 108, 26, 4});
    out.push_back({"boxInvit.bmp", 45, 48, 4});
    out.push_back({"boxWait.bmp", 45, 48, 4});
    out.push_back({"lobby1.bmp", 590, 175, 24});
    out.push_back({"lobby2.bmp", 590, 110, 8});
    return out;
}

bool nearGreen(uint32_t c) {
    const int r = int(c >> 16), g = int((c >> 8) & 0xff), b = int(c & 0xff);
    return g > 160 && r < 110 && b < 110;
}

double meanLuminance(const Bmp& bmp) {
    double sum = 0;
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x) {
            const uint32_t c = bmp.pixel(x, y);
            sum += 0.3 * (c >> 16) + 0.59 * ((c >> 8) & 0xff) + 0.11 * (c & 0xff);
        }
    return sum / (bmp.width * bmp.height);
}

class LobbyResTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::remove_all(kOut);
        const std::string command =
            std::string("\"") + LOBBYRES_EXE + "\" \"" + kOut.string() + "\"";
        generatorStatus = std::system(command.c_str());
    }
    static void TearDownTestSuite() { fs::remove_all(kOut); }
    static inline int generatorStatus = -1;
};

TEST_F(LobbyResTest, GeneratorSucceedsAndStampsLast) {
    ASSERT_EQ(generatorStatus, 0);
    EXPECT_TRUE(fs::exists(kOut / ".stamp"));
}

TEST_F(LobbyResTest, EveryBitmapHasItsSizeAndDepth) {
    for (const Expected& e : expectedBmps()) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(fs::exists(kOut / e.name));
        const Bmp bmp = loadBmp(e.name);
        EXPECT_EQ(bmp.width, e.width);
        EXPECT_EQ(bmp.height, e.height);
        EXPECT_EQ(bmp.bits, e.bits);
    }
}

TEST_F(LobbyResTest, TitlesAreKeyedAndFitTheTitleArea) {
    std::set<int> depths;
    for (const char* name : {"tChoose.bmp", "tSearch.bmp", "tSelHall.bmp"}) {
        SCOPED_TRACE(name);
        const Bmp bmp = loadBmp(name);
        EXPECT_GT(bmp.width, 60);
        EXPECT_LE(bmp.width, 460);
        EXPECT_EQ(bmp.height, 20);
        depths.insert(bmp.bits);
    }
    EXPECT_EQ(depths, (std::set<int>{1, 4, 24}));
}

TEST_F(LobbyResTest, TransparentPicturesUseOnlyExactKeyGreen) {
    std::vector<std::string> keyed = {"tChoose.bmp", "tSearch.bmp", "tSelHall.bmp"};
    for (int d = 0; d <= 9; ++d) keyed.push_back("digit" + std::to_string(d) + ".bmp");
    for (const std::string& name : keyed) {
        SCOPED_TRACE(name);
        const Bmp bmp = loadBmp(name);
        int key = 0, stray = 0;
        for (int y = 0; y < bmp.height; ++y)
            for (int x = 0; x < bmp.width; ++x) {
                const uint32_t c = bmp.pixel(x, y);
                if (c == 0x00ff00)
                    ++key;
                else if (nearGreen(c))
                    ++stray;
            }
        EXPECT_EQ(bmp.pixel(0, 0), 0x00ff00u);
        EXPECT_GT(key, bmp.width * bmp.height / 4);
        EXPECT_LT(key, bmp.width * bmp.height) << "no lettering drawn";
        EXPECT_EQ(stray, 0) << "pixels close to the key would show as green fringes";
    }
}

TEST_F(LobbyResTest, HoverStatesAreLitAndPortraitsDiffer) {
    for (const char* stem :
         {"bsNew", "bsCont", "bsQuit", "bsEnter", "bsCanc", "bCreate", "bJoin", "bQuit", "bLaunch",
          "bChall", "bLadder", "bZRHome", "bLQuit", "bMyGrp", "bAbout"}) {
        SCOPED_TRACE(stem);
        EXPECT_GT(meanLuminance(loadBmp(std::string(stem) + "2.bmp")),
                  meanLuminance(loadBmp(std::string(stem) + ".bmp")) + 20);
    }
    std::set<Bytes> portraits;
    for (int i = 1; i <= 12; ++i)
        portraits.insert(readAll(
            kOut / ("human" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".bmp")));
    for (int i = 1; i <= 7; ++i)
        portraits.insert(readAll(kOut / ("fiend" + std::to_string(i) + ".bmp")));
    EXPECT_EQ(portraits.size(), 19u);
}

// Width, height and component count from the first start-of-frame marker.
void checkJpeg(const std::string& name, uint32_t width, uint32_t height) {
    SCOPED_TRACE(name);
    const Bytes f = readAll(kOut / name);
    ASSERT_GE(f.size(), 4u);
    ASSERT_EQ(f[0], 0xff);
    ASSERT_EQ(f[1], 0xd8);
    size_t at = 2;
    while (at + 9 < f.size() && f[at] == 0xff) {
        const uint8_t marker = f[at + 1];
        if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2) {
            EXPECT_EQ(be16(f, at + 5), height);
            EXPECT_EQ(be16(f, at + 7), width);
            EXPECT_EQ(f[at + 9], 3) << "three colour components";
            return;
        }
        at += 2 + be16(f, at + 2);
    }
    ADD_FAILURE() << "no frame header";
}

TEST_F(LobbyResTest, BackgroundsAreColourJpegsOfTheScreenSizes) {
    checkJpeg("bgSetup.jpg", 702, 552);
    checkJpeg("bgLadder.jpg", 666, 500);
}

struct GifShape {
    uint32_t width = 0, height = 0;
    int images = 0, delays = 0;
    bool loopBeforeFirstImage = false, trailer = false;
};

// Walks the GIF block structure without decoding the pictures.
GifShape readGif(const Bytes& f) {
    GifShape s;
    if (f.size() < 13 || std::string(f.begin(), f.begin() + 6) != "GIF89a") return s;
    s.width = le16(f, 6);
    s.height = le16(f, 8);
    size_t at = 13 + ((f[10] & 0x80) ? 3u * (2u << (f[10] & 7)) : 0u);
    auto skipSubBlocks = [&f](size_t p) {
        while (p < f.size() && f[p] != 0) p += 1 + f[p];
        return p + 1;
    };
    while (at < f.size()) {
        if (f[at] == 0x3b) {
            s.trailer = true;
            break;
        }
        if (f[at] == 0x21 && at + 2 < f.size()) {
            if (f[at + 1] == 0xff && at + 14 < f.size() &&
                std::string(f.begin() + long(at) + 3, f.begin() + long(at) + 14) == "NETSCAPE2.0")
                s.loopBeforeFirstImage = s.images == 0;
            if (f[at + 1] == 0xf9 && at + 5 < f.size() && le16(f, at + 4) > 0) ++s.delays;
            at = skipSubBlocks(at + 2);
        } else if (f[at] == 0x2c && at + 10 < f.size()) {
            ++s.images;
            size_t p = at + 10 + ((f[at + 9] & 0x80) ? 3u * (2u << (f[at + 9] & 7)) : 0u);
            at = skipSubBlocks(p + 1);
        } else {
            break;
        }
    }
    return s;
}

TEST_F(LobbyResTest, DemoBannersAreWellFormedGifs) {
    const Bytes animBytes = readAll(kOut / "demo/banner_anim.gif");
    // The lobby keeps at most 100000 bytes of a banner; a real one is far smaller.
    EXPECT_LT(animBytes.size(), 65536u);
    const GifShape anim = readGif(animBytes);
    EXPECT_EQ(anim.width, 468u);
    EXPECT_EQ(anim.height, 60u);
    EXPECT_GE(anim.images, 6);
    EXPECT_EQ(anim.delays, anim.images);
    EXPECT_TRUE(anim.loopBeforeFirstImage);
    EXPECT_TRUE(anim.trailer);

    const GifShape still = readGif(readAll(kOut / "demo/banner_still.gif"));
    EXPECT_EQ(still.width, 468u);
    EXPECT_EQ(still.height, 60u);
    EXPECT_EQ(still.images, 1);
    EXPECT_TRUE(still.trailer);
}

TEST(LauncherPictures, BitmapsHaveTheirSizesAndDepthsAndIconsAreSquarePngs) {
    const fs::path out = kOut.string() + "-launcher";
    fs::remove_all(out);
    const std::string command =
        std::string("\"") + LOBBYRES_EXE + "\" --launcher \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Expected bitmaps[] = {{"bitmap154.bmp", 406, 561, 8},
                                {"bitmap157.bmp", 366, 13, 8},
                                {"bitmap159.bmp", 60, 13, 1},
                                {"bitmap160.bmp", 192, 13, 1},
                                {"bitmap161.bmp", 31, 13, 1}};
    for (const Expected& e : bitmaps) {
        const Bytes f = readAll(out / e.name);
        ASSERT_GE(f.size(), 54u) << e.name;
        EXPECT_EQ(int(le32(f, 18)), e.width) << e.name;
        EXPECT_EQ(int(le32(f, 22)), e.height) << e.name;
        EXPECT_EQ(int(le16(f, 28)), e.bits) << e.name;
    }
    for (const char* icon : {"zerathon", "zerathon-lobby"})
        for (uint32_t size : {16u, 22u, 24u, 32u, 48u, 64u, 128u, 256u}) {
            const std::string name = std::string(icon) + "-" + std::to_string(size) + ".png";
            const Bytes f = readAll(out / name);
            ASSERT_GE(f.size(), 24u) << name;
            EXPECT_EQ(std::string(f.begin() + 1, f.begin() + 4), "PNG") << name;
            EXPECT_EQ(be16(f, 18), size) << name;  // the header's width and height
            EXPECT_EQ(be16(f, 22), size) << name;
        }
    fs::remove_all(out);
}

}  // namespace
