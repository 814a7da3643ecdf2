// Scanning profile folders into the lists, and the account, login and launch updates.
#include "lobby/data/profile_lists.h"

#include <gtest/gtest.h>

#include <cstring>

#include "lobby/data/profile_file.h"
#include "tests/support/locked_folder.h"
#include "tests/support/temp_dir.h"

using namespace zrt;
using namespace zrt::profile_offset;
namespace fs = std::filesystem;

namespace {

ProfileRecord Player(const std::string& stem, const std::string& name,
                     const std::string& login = "") {
    ProfileRecord r;
    for (size_t i = 0; i < kProfileSize; ++i) r.bytes[i] = static_cast<uint8_t>(i ^ 0xA5);
    r.bytes[kKey] = 0;
    r.setText(kPlayerName, profile_width::kPlayerName, name);
    r.setText(kStem, profile_width::kStem, stem);
    r.setText(kSaveFolder, profile_width::kSaveFolder, "f" + stem);
    r.setText(kLoginName, profile_width::kLoginName, login);
    r.setText(kSecondLobby, profile_width::kSecondLobby, "second");
    return r;
}

ProfileRecord Load(const fs::path& dir, const std::string& stem) {
    ProfileRecord r;
    EXPECT_TRUE(LoadProfile(dir, ProfileFileName(stem), r));
    return r;
}

}  // namespace

TEST(ScanProfiles, SortsIntoRegisteredAndUnregisteredAndSkipsBadFiles) {
    zrttest::TempDir dir;
    ASSERT_TRUE(SaveProfile(dir.path(), Player("ANNA", "Anna")));
    ProfileRecord bert = Player("BERT", "Bert", "bert_the_very_long_login");
    bert.setU16(kPortrait, 12);
    bert.setU16(kCountry, 234);
    bert.setU16(kScore, 1500);
    bert.setU16(kWon, 7);
    bert.setU16(kLost, 3);
    bert.setU16(kPlayed, 12);
    bert.setU16(kGems, 40);
    bert.setU8(kLoginCount, 9);
    bert.setU8(kLobbyByte, 4);
    ASSERT_TRUE(SaveProfile(dir.path(), bert));
    std::FILE* junk = std::fopen((dir / "JUNK.PRF").c_str(), "wb");
    std::fputs("not a profile", junk);
    std::fclose(junk);
    std::FILE* other = std::fopen((dir / "anna.prf").c_str(), "wb");
    std::fclose(other);

    ProfileLists lists;
    lists.registered.resize(3);  // a rescan starts from empty lists
    ScanProfiles(dir.path(), lists);
    ASSERT_EQ(lists.unregistered.size(), 1u);
    ASSERT_EQ(lists.registered.size(), 1u);
    const ProfileEntry& a = lists.unregistered[0];
    EXPECT_EQ(a.stem, "ANNA");
    EXPECT_EQ(a.playerName, "Anna");
    EXPECT_EQ(a.saveFolder, "fANNA");
    EXPECT_EQ(a.registered, 0);
    EXPECT_EQ(a.loginName, "");
    EXPECT_EQ(a.score, 0);
    const ProfileEntry& b = lists.registered[0];
    EXPECT_EQ(b.registered, 1);
    EXPECT_EQ(b.loginName, "bert_the_v") << "cut after the tenth character";
    EXPECT_EQ(b.secondLobby, "second");
    EXPECT_EQ(b.portrait, 12);
    EXPECT_EQ(b.country, 234);
    EXPECT_EQ(b.score, 1500);
    EXPECT_EQ(b.won, 7);
    EXPECT_EQ(b.lost, 3);
    EXPECT_EQ(b.quit, 2);
    EXPECT_EQ(b.gems, 40);
    EXPECT_EQ(b.loginCount, 9);
    EXPECT_EQ(b.lobbyByte, 4);
}

TEST(ScanProfiles, PlayedBelowWonPlusLostLowersWon) {
    ProfileRecord r = Player("P", "P", "p");
    r.setU16(kWon, 10);
    r.setU16(kLost, 4);
    r.setU16(kPlayed, 9);
    ProfileEntry e = EntryFromRecord(r);
    EXPECT_EQ(e.won, 5);
    EXPECT_EQ(e.lost, 4);
    EXPECT_EQ(e.quit, 0);
    // More losses than games played: won stays at 0 instead of wrapping around.
    r.setU16(kLost, 12);
    e = EntryFromRecord(r);
    EXPECT_EQ(e.won, 0);
    EXPECT_EQ(e.lost, 12);
}

TEST(ScanProfiles, StopsAsSoonAsAListHoldsTwenty) {
    zrttest::TempDir dir;
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(SaveProfile(
            dir.path(), Player("R" + std::to_string(i), "Reg", "login" + std::to_string(i))));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(SaveProfile(dir.path(), Player("U" + std::to_string(i), "Unreg")));
    // What the scan must list: everything up to the 20th registered file in directory order.
    size_t registered = 0, unregistered = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        if (e.path().filename().string()[0] == 'R')
            ++registered;
        else
            ++unregistered;
        if (registered == 20) break;
    }
    ProfileLists lists;
    ScanProfiles(dir.path(), lists);
    EXPECT_EQ(lists.registered.size(), 20u);
    EXPECT_EQ(lists.unregistered.size(), unregistered);
}

TEST(ProfileUpdates, RegisterWritesTheLobbySectionAndKeepsGameData) {
    zrttest::TempDir dir;
    ProfileRecord before = Player("NEWBIE", "Newbie");
    before.setU16(kScore, 77);
    ASSERT_TRUE(SaveProfile(dir.path(), before));
    before = Load(dir.path(), "NEWBIE");
    ProfileLists lists;
    ScanProfiles(dir.path(), lists);
    ASSERT_EQ(lists.unregistered.size(), 1u);

    EXPECT_EQ(RegisterProfile(dir.path(), lists, 5, "x", 0, 0), ProfileResult::LoadFailed);
    ASSERT_EQ(RegisterProfile(dir.path(), lists, 0, "newbie01", 13, 220), ProfileResult::Ok);
    ProfileRecord after = Load(dir.path(), "NEWBIE");
    EXPECT_EQ(after.loginName(), "newbie01");
    EXPECT_EQ(after.u16(kPortrait), 13);
    EXPECT_EQ(after.u16(kCountry), 220);
    EXPECT_EQ(after.u16(kScore), 100);
    EXPECT_EQ(after.u16(kWon), 0);
    EXPECT_EQ(after.u16(kLost), 0);
    EXPECT_EQ(after.u16(kPlayed), 0);
    EXPECT_EQ(after.u16(kGems), 5);
    EXPECT_EQ(after.u8(kLoginCount), 1);
    EXPECT_EQ(after.u8(kLobbyByte), 0);
    // Every byte outside the lobby section is carried unchanged.
    for (size_t i = 0; i < kProfileSize; ++i) {
        if (i >= kLoginName && i < kSecondLobby) continue;
        if (i >= kPortrait && i <= kLobbyByte) continue;
        if (i == kCheck) continue;
        ASSERT_EQ(after.bytes[i], before.bytes[i]) << "offset " << i;
    }
    ScanProfiles(dir.path(), lists);
    EXPECT_EQ(lists.registered.size(), 1u);
    EXPECT_EQ(lists.unregistered.size(), 0u);
}

TEST(ProfileUpdates, LoginCountsWrapAndGrantsOutsideOneToTwentyCountZero) {
    zrttest::TempDir dir;
    ProfileRecord r = Player("VET", "Veteran", "vet");
    r.setU8(kLoginCount, 254);
    r.setU16(kGems, 10);
    ASSERT_TRUE(SaveProfile(dir.path(), r));
    ProfileLists lists;
    ScanProfiles(dir.path(), lists);
    ASSERT_EQ(lists.registered.size(), 1u);

    ASSERT_EQ(RecordLogin(dir.path(), lists, 0, 3, 20), ProfileResult::Ok);
    EXPECT_EQ(Load(dir.path(), "VET").u8(kLoginCount), 255);
    ASSERT_EQ(RecordLogin(dir.path(), lists, 0, 4, 21), ProfileResult::Ok);
    ProfileRecord after = Load(dir.path(), "VET");
    EXPECT_EQ(after.u8(kLoginCount), 0) << "255 wraps to 0";
    EXPECT_EQ(after.u16(kGems), 30);
    EXPECT_EQ(after.u16(kPortrait), 4);
    EXPECT_EQ(lists.registered[0].gems, 30);
    EXPECT_EQ(lists.registered[0].portrait, 4);
    EXPECT_EQ(RecordLogin(dir.path(), lists, 0, 4, -5), ProfileResult::Ok);
    EXPECT_EQ(Load(dir.path(), "VET").u16(kGems), 30);

    fs::remove(dir / "VET.PRF");
    EXPECT_EQ(RecordLogin(dir.path(), lists, 0, 4, 1), ProfileResult::LoadFailed);
    EXPECT_FALSE(fs::exists(dir / "VET.PRF")) << "nothing is written after a failed load";
    EXPECT_STREQ(ProfileErrorText(ProfileResult::LoadFailed), "Error loading Profile");
    EXPECT_STREQ(ProfileErrorText(ProfileResult::SaveFailed), "Error saving Profile");
}

TEST(ProfileUpdates, SaveFailureIsReportedAsSuch) {
    zrttest::TempDir dir;
    ASSERT_TRUE(SaveProfile(dir.path(), Player("LOCKED", "Locked", "locked")));
    ProfileLists lists;
    ScanProfiles(dir.path(), lists);
    ASSERT_EQ(lists.registered.size(), 1u);
    const std::vector<uint8_t> before = zrttest::FileBytes(dir / "LOCKED.PRF");
    const ProfileEntry entry = lists.registered[0];
    {
        zrttest::LockedFolder lock(dir.path());
        if (!lock.locked()) GTEST_SKIP() << "the folder cannot be locked against writing here";
        EXPECT_EQ(RecordLogin(dir.path(), lists, 0, 1, 1), ProfileResult::SaveFailed);
    }
    EXPECT_EQ(lists.registered[0].gems, entry.gems) << "the entry changes only with the file";
    EXPECT_EQ(lists.registered[0].portrait, entry.portrait);
    EXPECT_EQ(zrttest::FileBytes(dir / "LOCKED.PRF"), before) << "the old profile stays as it was";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST(ProfileUpdates, LaunchSettingsNameTheSavedGameAndHall) {
    zrttest::TempDir dir;
    ASSERT_TRUE(SaveProfile(dir.path(), Player("HOST", "Host", "host")));
    ProfileEntry current = EntryFromRecord(Load(dir.path(), "HOST"));

    ASSERT_EQ(StoreLaunchSettings(dir.path(), current, std::string("GAME1"), true),
              ProfileResult::Ok);
    ProfileRecord r = Load(dir.path(), "HOST");
    EXPECT_EQ(r.u8(kStartMode), 2);
    EXPECT_EQ(r.u8(kGemHall), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&r.bytes[kSavedGame]), "GAME1");

    // A 13-character name fills its field; the plain record's key byte ends it.
    ASSERT_EQ(StoreLaunchSettings(dir.path(), current, std::string("ABCDEFGHIJKLMNOP"), false),
              ProfileResult::Ok);
    r = Load(dir.path(), "HOST");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r.bytes[kSavedGame])), "ABCDEFGHIJKLM");
    EXPECT_EQ(r.u8(kGemHall), 0);

    ASSERT_EQ(StoreLaunchSettings(dir.path(), current, std::nullopt, false), ProfileResult::Ok);
    EXPECT_EQ(Load(dir.path(), "HOST").u8(kStartMode), 1);
}
