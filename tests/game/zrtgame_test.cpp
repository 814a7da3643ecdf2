// The stand-in game program, run as a real process: what it writes must be what the lobby
// reads.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>

#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"
#include "lobby/data/saved_games.h"
#include "playnet/registration.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string out;
};

// Runs zrtgame with the arguments (shell-quoted by the caller), in folder `cwd` when given, and
// collects stdout and stderr.
Outcome Zrtgame(const std::string& args, const fs::path& cwd = {}) {
    std::string cmd = std::string(ZRT_BIN_DIR) + "/zrtgame " + args + " 2>&1";
    if (!cwd.empty()) cmd = "cd '" + cwd.string() + "' && " + cmd;
    Outcome r{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 256> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class GameDir : public ::testing::Test {
  protected:
    std::string at() const { return " --game-dir " + dir.string(); }
    zrttest::TempDir folder;
    const fs::path dir = folder.path();
};

}  // namespace

TEST_F(GameDir, NewProfilesLoadInTheLobbyLists) {
    ASSERT_EQ(Zrtgame("new-profile" + at() + " --stem PLAIN --name 'Plain Jane'").status, 0);
    ASSERT_EQ(
        Zrtgame("new-profile" + at() +
                " --stem VET --name Veteran --save-folder vetsave --login veteran42 --portrait 14"
                " --country 62 --score 2300 --won 9 --lost 4 --played 15 --gems 77 --logins 255")
            .status,
        0);
    EXPECT_EQ(fs::file_size(dir / "PLAIN.PRF"), zrt::kProfileSize);

    zrt::ProfileLists lists;
    zrt::ScanProfiles(dir, lists);
    ASSERT_EQ(lists.unregistered.size(), 1u);
    ASSERT_EQ(lists.registered.size(), 1u);
    EXPECT_EQ(lists.unregistered[0].playerName, "Plain Jane");
    EXPECT_EQ(lists.unregistered[0].saveFolder, "PLAIN");
    const zrt::ProfileEntry& v = lists.registered[0];
    EXPECT_EQ(v.loginName, "veteran42");
    EXPECT_EQ(v.saveFolder, "vetsave");
    EXPECT_EQ(v.portrait, 14);
    EXPECT_EQ(v.country, 62);
    EXPECT_EQ(v.score, 2300);
    EXPECT_EQ(v.won, 9);
    EXPECT_EQ(v.quit, 2);
    EXPECT_EQ(v.gems, 77);
    EXPECT_EQ(v.loginCount, 255);

    // The lobby's login update is what the game then shows.
    ASSERT_EQ(zrt::RecordLogin(dir, lists, 0, 3, 2), zrt::ProfileResult::Ok);
    Outcome shown = Zrtgame("show-profile" + at() + " --stem VET");
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("logins: 0\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("gemstones: 79\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("lobby account: veteran42\n"), std::string::npos) << shown.out;
}

TEST_F(GameDir, ShowProfileSaysWhyAFileDoesNotLoad) {
    Outcome missing = Zrtgame("show-profile" + at() + " --stem NOPE");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("cannot open"), std::string::npos);
    ASSERT_EQ(Zrtgame("new-profile" + at() + " --stem BENT --name Bent").status, 0);
    {
        std::fstream f(dir / "BENT.PRF", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(700);
        f.put('\x42');
    }
    Outcome bent = Zrtgame("show-profile" + at() + " --stem BENT");
    EXPECT_EQ(bent.status, 1);
    EXPECT_NE(bent.out.find("check byte"), std::string::npos) << bent.out;
    EXPECT_EQ(Zrtgame("new-profile" + at() + " --stem ../X --name Y").status, 2);
    EXPECT_EQ(Zrtgame("new-profile" + at() + " --stem OK --name Y --portrait 19 --login a").status,
              2);
    EXPECT_EQ(Zrtgame("fly").status, 2);
}

TEST_F(GameDir, SavedGamesAreListedForTheProfile) {
    ASSERT_EQ(Zrtgame("new-profile" + at() + " --stem HOST --name Host --save-folder hsave").status,
              0);
    ASSERT_EQ(Zrtgame("save-game" + at() + " --stem HOST --name GAME1").status, 0);
    ASSERT_EQ(Zrtgame("save-game" + at() + " --save-folder hsave --name LAST").status, 0);
    EXPECT_NE(Zrtgame("save-game" + at() + " --save-folder .. --name X").status, 0);
    auto names = zrt::ListSavedGames(dir, "hsave").names;
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"GAME1", "LAST"}));
}

TEST_F(GameDir, StartedAloneItPlaysATrainingMatchAndWritesNothing) {
    ASSERT_EQ(Zrtgame("new-profile" + at() + " --stem KEEP --name Keep").status, 0);
    const auto before = fs::last_write_time(dir / "KEEP.PRF");
    Outcome r = Zrtgame("", dir);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("round 3:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("training over"), std::string::npos) << r.out;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_EQ(fs::last_write_time(dir / "KEEP.PRF"), before);
}

TEST_F(GameDir, RegisterNamesTheExecutable) {
    fs::path config = dir / "xdg";
    Outcome r = Zrtgame("register" + at() + " --config-home " + config.string());
    ASSERT_EQ(r.status, 0) << r.out;
    std::ifstream in(config / "playnet" / "applications" / "Zerathon.ini");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    auto reg = playnet::ParseRegistration(text);
    ASSERT_TRUE(reg) << text;
    EXPECT_EQ(reg->guid, "{5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F14}");
    EXPECT_EQ(reg->file, "zrtgame");
    EXPECT_TRUE(fs::equivalent(fs::path(reg->path) / reg->file, fs::path(ZRT_BIN_DIR) / "zrtgame"));
}
