// Loading and saving profile files in a real folder, including an interrupted save.
#include "lobby/data/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "tests/support/temp_dir.h"

using namespace zrt;
namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

ProfileRecord Named(const std::string& stem, const std::string& name) {
    ProfileRecord r;
    for (size_t i = 0; i < kProfileSize; ++i)
        r.bytes[i] = static_cast<uint8_t>(i * 31 + name.size());
    r.setText(profile_offset::kPlayerName, profile_width::kPlayerName, name);
    r.setText(profile_offset::kStem, profile_width::kStem, stem);
    r.setText(profile_offset::kSaveFolder, profile_width::kSaveFolder, "sv" + stem);
    r.bytes[profile_offset::kKey] = 0;
    return r;
}

}  // namespace

TEST(ProfileFile, SaveThenLoadGivesTheSameRecordForEveryKey) {
    zrttest::TempDir dir;
    ProfileRecord r = Named("HERO", "Hero");
    for (int k = 39; k <= 223; k += 8) {
        ASSERT_TRUE(SaveProfileWithKey(dir.path(), r, static_cast<uint8_t>(k)));
        auto stored = zrttest::FileBytes(dir / "HERO.PRF");
        ASSERT_EQ(stored.size(), kProfileSize);
        EXPECT_EQ(stored[profile_offset::kKey], k);
        ProfileRecord back;
        ASSERT_TRUE(LoadProfile(dir.path(), "HERO.PRF", back));
        ProfileRecord expected = r;
        expected.bytes[profile_offset::kCheck] = back.bytes[profile_offset::kCheck];
        EXPECT_EQ(back.bytes, expected.bytes);
        // Saving the loaded record again gives the identical 1443 bytes.
        ASSERT_TRUE(SaveProfileWithKey(dir.path(), back, static_cast<uint8_t>(k)));
        EXPECT_EQ(zrttest::FileBytes(dir / "HERO.PRF"), stored);
    }
    // Nothing but the profile is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ProfileFile, FailedLoadLeavesTheRecordUntouched) {
    zrttest::TempDir dir;
    ProfileRecord r = Named("KEEP", "Keep");
    ProfileRecord copy = r;
    EXPECT_EQ(LoadProfileFile(dir.path(), "NONE.PRF", r), ProfileLoadStatus::CannotOpen);
    WriteFile(dir / "JUNK.PRF", std::vector<uint8_t>(kProfileSize, 0x55));
    EXPECT_EQ(LoadProfileFile(dir.path(), "JUNK.PRF", r), ProfileLoadStatus::BadCheck);
    EXPECT_EQ(LoadProfileFile(dir.path(), "../JUNK.PRF", r), ProfileLoadStatus::CannotOpen);
    fs::create_directory(dir / "DIR.PRF");
    EXPECT_NE(LoadProfileFile(dir.path(), "DIR.PRF", r), ProfileLoadStatus::Ok);
    // A FIFO under a profile's name is refused at once instead of blocking the reader.
    ASSERT_EQ(::mkfifo((dir / "PIPE.PRF").c_str(), 0600), 0);
    EXPECT_EQ(LoadProfileFile(dir.path(), "PIPE.PRF", r), ProfileLoadStatus::CannotOpen);
    EXPECT_EQ(r.bytes, copy.bytes);
}

TEST(ProfileFile, ZeroFileLoadsAndLongerFilesAreReadToTheirFirst1443Bytes) {
    zrttest::TempDir dir;
    WriteFile(dir / "ZERO.PRF", std::vector<uint8_t>(kProfileSize, 0));
    ProfileRecord r;
    ASSERT_TRUE(LoadProfile(dir.path(), "ZERO.PRF", r));
    EXPECT_EQ(r.playerName(), "");
    EXPECT_EQ(r.stem(), "ZERO");
    EXPECT_FALSE(r.hasLobbyAccount());

    ASSERT_TRUE(SaveProfileWithKey(dir.path(), Named("LONG", "Long"), 47));
    auto bytes = zrttest::FileBytes(dir / "LONG.PRF");
    bytes.resize(kProfileSize + 100, 0xEE);
    WriteFile(dir / "LONG.PRF", bytes);
    EXPECT_TRUE(LoadProfile(dir.path(), "LONG.PRF", r));
    // A cut-off file is refused, even one so short that zero-filling would pass the check.
    bytes.resize(kProfileSize - 1);
    WriteFile(dir / "LONG.PRF", bytes);
    EXPECT_EQ(LoadProfileFile(dir.path(), "LONG.PRF", r), ProfileLoadStatus::TooShort);
    WriteFile(dir / "LONG.PRF", {'H', 'i', 0});
    EXPECT_EQ(LoadProfileFile(dir.path(), "LONG.PRF", r), ProfileLoadStatus::TooShort);
}

TEST(ProfileFile, BytesBelowTheKeyAreNotChecked) {
    zrttest::TempDir dir;
    ASSERT_TRUE(SaveProfileWithKey(dir.path(), Named("EDIT", "Edit"), 223));
    auto bytes = zrttest::FileBytes(dir / "EDIT.PRF");
    bytes[5] ^= 0x20;
    bytes[135] ^= 0x01;
    WriteFile(dir / "EDIT.PRF", bytes);
    ProfileRecord r;
    EXPECT_TRUE(LoadProfile(dir.path(), "EDIT.PRF", r));
    bytes[136] ^= 0x01;
    WriteFile(dir / "EDIT.PRF", bytes);
    EXPECT_FALSE(LoadProfile(dir.path(), "EDIT.PRF", r));
}

TEST(ProfileFile, LongStemIsCutToEightAndLaterSavesUseIt) {
    zrttest::TempDir dir;
    ASSERT_TRUE(SaveProfileWithKey(dir.path(), Named("ABCDEFGH", "Long Stem"), 39));
    fs::rename(dir / "ABCDEFGH.PRF", dir / "ABCDEFGHIJ.PRF");
    ProfileRecord r;
    ASSERT_TRUE(LoadProfile(dir.path(), "ABCDEFGHIJ.PRF", r));
    EXPECT_EQ(r.stem(), "ABCDEFGH");
    EXPECT_EQ(r.bytes[profile_offset::kStem + 8], 0);
    ASSERT_TRUE(SaveProfile(dir.path(), r));
    EXPECT_TRUE(fs::exists(dir / "ABCDEFGH.PRF"));
    // A stem with a dot ends at the dot.
    fs::rename(dir / "ABCDEFGH.PRF", dir / "AB.C.PRF");
    ASSERT_TRUE(LoadProfile(dir.path(), "AB.C.PRF", r));
    EXPECT_EQ(r.stem(), "AB");
}

TEST(ProfileFile, UnusableStemsAreNotSaved) {
    zrttest::TempDir dir;
    for (const char* stem : {"", "..", "a/b", "."}) {
        ProfileRecord r = Named("X", "X");
        r.setText(profile_offset::kStem, profile_width::kStem, stem);
        EXPECT_FALSE(SaveProfile(dir.path(), r)) << stem;
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(ProfileFile, InterruptedSaveLeavesTheOldProfileIntact) {
    zrttest::TempDir dir;
    ProfileRecord oldRecord = Named("SAFE", "Old Name");
    ASSERT_TRUE(SaveProfileWithKey(dir.path(), oldRecord, 63));
    auto oldBytes = zrttest::FileBytes(dir / "SAFE.PRF");

    // The new bytes reach the disk, then the process dies before the rename.
    ProfileRecord newRecord = Named("SAFE", "New Name");
    auto temp = WriteProfileTemp(dir.path(), newRecord, 71);
    ASSERT_TRUE(temp);
    EXPECT_EQ(temp->parent_path(), dir.path());
    EXPECT_EQ(zrttest::FileBytes(dir / "SAFE.PRF"), oldBytes);
    ProfileRecord r;
    ASSERT_TRUE(LoadProfile(dir.path(), "SAFE.PRF", r));
    EXPECT_EQ(r.playerName(), "Old Name");

    // Finishing the save replaces the profile in one step.
    ASSERT_TRUE(CommitProfileTemp(*temp, dir / "SAFE.PRF"));
    ASSERT_TRUE(LoadProfile(dir.path(), "SAFE.PRF", r));
    EXPECT_EQ(r.playerName(), "New Name");
    EXPECT_FALSE(fs::exists(*temp));
}

TEST(ProfileFile, SaveOntoSomethingThatIsNotAFileFailsAndCleansUp) {
    zrttest::TempDir dir;
    fs::create_directory(dir / "BLOCKED.PRF");
    EXPECT_FALSE(SaveProfile(dir.path(), Named("BLOCKED", "B")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(SaveProfile(dir / "missing", Named("NODIR", "N")));
}
