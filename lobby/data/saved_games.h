// The list of the current player's saved multiplayer games: the "*.SVM" files in
// save/<save folder>/ under the game folder, named without their extension.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zrt {

constexpr size_t kMaxSavedGames = 100;
constexpr size_t kMaxSavedGameChars = 13;

struct SavedGameTable {
    std::vector<std::string> names;  // at most 100, each at most 13 characters
};

// Rebuilds the table from gameDir/save/<saveFolder>/*.SVM in directory order, each name cut
// at its first '.'. A missing folder gives an empty table. Names longer than 13 characters
// (which the launch could not pass on) are left out, and the table stops at 100 names. A save
// folder that is empty or contains a path separator or is "." or ".." lists nothing.
SavedGameTable ListSavedGames(const std::filesystem::path& gameDir, const std::string& saveFolder);

}  // namespace zrt
