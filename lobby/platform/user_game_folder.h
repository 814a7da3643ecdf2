// An installed Zerathon: the programs in one folder (.../bin), the package's read-only data in
// .../share/zerathon beside it, and each user's own writable game folder under the XDG data
// directory. The game folder is where profiles, saved games, shortcut files and Launch.LOG
// live and what the programs run in; its pictures are links into the package's data, its
// LobbyRes/Server.txt a link to the configuration file that applies to the user.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zrt {

struct InstalledLayout {
    std::filesystem::path binDir;   // startpad, zrtlobby, zrtgame
    std::filesystem::path dataDir;  // LobbyRes/ with the pictures, zrthome.url
};

// The layout around an installed program file; nothing for a program in a build tree, which
// runs in the working directory it is given.
std::optional<InstalledLayout> FindInstalledLayout(const std::filesystem::path& programFile);

// $XDG_DATA_HOME/zerathon, or ~/.local/share/zerathon.
std::filesystem::path UserGameFolder();

// zerathon/Server.txt in $XDG_CONFIG_HOME (the user's own), else in the first folder of
// $XDG_CONFIG_DIRS that has one (the system's, /etc/xdg by default).
std::optional<std::filesystem::path> FindServerConfig();

// Makes `folder` a game folder for the installed programs, on the first start and again on
// every start (so an upgrade or a changed configuration is followed): links to every data
// file, LobbyRes/Server.txt linked to FindServerConfig(), a link to zrtlobby, the game
// registered there with "zrtgame register" and, while the folder has no profile, one profile
// named after the user. Links are made or corrected; files the user put in their place are
// left alone. Empty on success, else what failed.
std::string PrepareGameFolder(const InstalledLayout& layout, const std::filesystem::path& folder);

// For the start of an installed program: prepares the user's game folder and makes it the
// working directory. Does nothing for a program in a build tree. Empty on success.
std::string EnterInstalledGameFolder();

}  // namespace zrt
