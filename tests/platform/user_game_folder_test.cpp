// Preparing a user's game folder from an installed tree made in a temporary folder: programs
// in usr/games (zrtgame a link to the build's), data in usr/share/zerathon, the system's
// Server.txt in etc/xdg, and a fresh home.
#include "lobby/platform/user_game_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "lobby/data/game_identity.h"
#include "lobby/data/profile_lists.h"
#include "playnet/registration.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using namespace zrt;

namespace {

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

class UserGameFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = tree.path();
        layout = {root / "usr" / "games", root / "usr" / "share" / "zerathon"};
        fs::create_directories(layout.binDir);
        fs::create_symlink(fs::path(ZRT_BIN_DIR) / "zrtgame", layout.binDir / "zrtgame");
        Write(layout.binDir / "zrtlobby", "");
        Write(layout.dataDir / "LobbyRes" / "bgSetup.jpg", "picture");
        Write(layout.dataDir / "zrthome.url", "[InternetShortcut]\r\nURL=https://a.b/\r\n");
        Write(root / "etc" / "xdg" / "zerathon" / "Server.txt", "10.0.0.5\r\n");
        setenv("HOME", (root / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "home" / ".config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root / "etc" / "xdg").c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        folder = UserGameFolder();
    }

    zrttest::TempDir tree;
    fs::path root, folder;
    InstalledLayout layout;
};

}  // namespace

TEST_F(UserGameFolderTest, FirstStartPreparesTheFolder) {
    EXPECT_EQ(folder, root / "home" / ".local" / "share" / "zerathon");
    ASSERT_TRUE(FindInstalledLayout(layout.binDir / "startpad"));
    EXPECT_FALSE(FindInstalledLayout(fs::path(ZRT_BIN_DIR) / "startpad"))
        << "a build tree is no installation";

    ASSERT_EQ(PrepareGameFolder(layout, folder), "");
    EXPECT_EQ(fs::read_symlink(folder / "LobbyRes" / "bgSetup.jpg"),
              layout.dataDir / "LobbyRes" / "bgSetup.jpg");
    EXPECT_EQ(fs::read_symlink(folder / "zrthome.url"), layout.dataDir / "zrthome.url");
    EXPECT_EQ(fs::read_symlink(folder / "LobbyRes" / "Server.txt"),
              root / "etc" / "xdg" / "zerathon" / "Server.txt");
    EXPECT_EQ(fs::read_symlink(folder / "zrtlobby"), layout.binDir / "zrtlobby");
    const auto reg = playnet::ReadRegistration(kGameAppName);
    ASSERT_TRUE(reg);
    EXPECT_EQ(fs::path(reg->path), folder);
    EXPECT_TRUE(fs::exists(folder / reg->file));
    ProfileLists profiles;
    ScanProfiles(folder, profiles);
    EXPECT_EQ(profiles.unregistered.size(), 1u);
}

TEST_F(UserGameFolderTest, LaterStartsKeepTheUsersFilesAndFollowTheUsersServer) {
    ASSERT_EQ(PrepareGameFolder(layout, folder), "");
    fs::remove(folder / "LobbyRes" / "bgSetup.jpg");
    Write(folder / "LobbyRes" / "bgSetup.jpg", "my own picture");
    Write(root / "home" / ".config" / "zerathon" / "Server.txt", "127.0.0.9\r\n");
    const fs::path profile = folder / "PLAYER1.PRF";
    ASSERT_TRUE(fs::exists(profile));
    const auto written = fs::last_write_time(profile);

    ASSERT_EQ(PrepareGameFolder(layout, folder), "");
    EXPECT_FALSE(fs::is_symlink(folder / "LobbyRes" / "bgSetup.jpg"));
    EXPECT_EQ(fs::read_symlink(folder / "LobbyRes" / "Server.txt"),
              root / "home" / ".config" / "zerathon" / "Server.txt");
    EXPECT_EQ(fs::last_write_time(profile), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 5)
        << "LobbyRes, zrthome.url, zrtlobby, zrtgame and one profile, nothing more";
}
