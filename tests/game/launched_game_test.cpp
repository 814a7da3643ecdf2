// zrtgame launched as a group's game, through the real launcher: two games in two folders meet
// in one session, play, and write the result into their profiles; a missing saved game is a
// clear failure.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "lobby/data/game_identity.h"
#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"
#include "lobby/session/game_launcher.h"
#include "playnet/launcher.h"
#include "playnet/registration.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace zrt::profile_offset;

namespace {

// A game folder with one profile that has a lobby account, and the game registered in it.
struct Player {
    zrttest::TempDir dir;
    std::string login;

    Player(const std::string& stem, const std::string& name) : login(name) {
        const std::string bin = ZRT_BIN_DIR;
        const std::string at = " --game-dir " + dir.path();
        EXPECT_EQ(std::system((bin + "/zrtgame new-profile" + at + " --stem " + stem + " --name " +
                               name + " --login " + name + " --score 100 >/dev/null")
                                  .c_str()),
                  0);
        EXPECT_EQ(std::system((bin + "/zrtgame register" + at + " --config-home " +
                               (dir / "xdg").string() + " >/dev/null")
                                  .c_str()),
                  0);
        stemName = stem;
    }
    // Starts this player's game with its settings; the launcher looks the game up in this
    // player's configuration.
    uint32_t launch(playnet::Launcher& launcher, playnet::AutoResetEvent& event, bool host) {
        setenv("XDG_CONFIG_HOME", (dir / "xdg").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (dir / "none").c_str(), 1);
        uint32_t id = 0;
        EXPECT_EQ(launcher.RunApplication(
                      *playnet::Guid::Parse(zrt::kGameGuid),
                      zrt::BuildConnectionSettings({host, "127.0.0.1", 2, login}), &event, id),
                  playnet::Result::Ok);
        return id;
    }
    zrt::ProfileRecord profile() const {
        zrt::ProfileRecord r;
        EXPECT_TRUE(zrt::LoadProfile(dir.path(), zrt::ProfileFileName(stemName), r));
        return r;
    }
    std::string stemName;
};

// The system codes `id` reports, until it terminated or 60 s passed.
std::vector<uint32_t> reports(playnet::Launcher& launcher, uint32_t id,
                              playnet::AutoResetEvent& event) {
    std::vector<uint32_t> codes;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < until &&
           (codes.empty() || codes.back() != playnet::kLobbySysAppTerminated)) {
        uint8_t buf[256];
        size_t size = sizeof buf;
        uint32_t flags = 0;
        if (launcher.ReceiveLobbyMessage(id, flags, buf, size) == playnet::Result::Ok) {
            if ((flags & playnet::kLobbyMessageSystem) && size >= 4) codes.push_back(buf[0]);
        } else {
            event.wait(200);
        }
    }
    return codes;
}

}  // namespace

TEST(LaunchedGame, HostAndMemberPlayAndRecordTheResult) {
    Player host("ANNA", "anna"), member("BEN", "ben");
    playnet::Launcher launcher;
    playnet::AutoResetEvent hostEvent, memberEvent;
    const uint32_t h = host.launch(launcher, hostEvent, true);
    // The member starts once the host has created the session, as the lobbies do.
    const uint32_t m = member.launch(launcher, memberEvent, false);
    const std::vector<uint32_t> expected{playnet::kLobbySysConnectionSettingsRead,
                                         playnet::kLobbySysConnectSucceeded,
                                         playnet::kLobbySysAppTerminated};
    EXPECT_EQ(reports(launcher, h, hostEvent), expected);
    EXPECT_EQ(reports(launcher, m, memberEvent), expected);

    const zrt::ProfileRecord a = host.profile(), b = member.profile();
    EXPECT_EQ(a.u16(kPlayed), 1);
    EXPECT_EQ(b.u16(kPlayed), 1);
    EXPECT_EQ(a.u16(kWon) + b.u16(kWon), 1);
    EXPECT_EQ(a.u16(kLost) + b.u16(kLost), 1);
    const zrt::ProfileRecord& winner = a.u16(kWon) ? a : b;
    const zrt::ProfileRecord& loser = a.u16(kWon) ? b : a;
    EXPECT_EQ(winner.u16(kScore), 110);
    EXPECT_EQ(loser.u16(kScore), 90);
}

TEST(LaunchedGame, MissingSavedGameFailsClearly) {
    Player host("CORA", "cora");
    zrt::ProfileEntry me;
    me.stem = "CORA";
    ASSERT_EQ(zrt::StoreLaunchSettings(host.dir.path(), me, std::string("NOPE"), false),
              zrt::ProfileResult::Ok);
    playnet::Launcher launcher;
    playnet::AutoResetEvent event;
    const uint32_t id = host.launch(launcher, event, true);
    EXPECT_EQ(
        reports(launcher, id, event),
        (std::vector<uint32_t>{playnet::kLobbySysConnectionSettingsRead,
                               playnet::kLobbySysConnectFailed, playnet::kLobbySysAppTerminated}));
}
