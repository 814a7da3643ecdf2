// The launched game's view of its player's profile: found by the lobby name the launch names,
// it holds what the lobby wrote for this launch (start mode, saved game, gemstone hall) and
// receives the match's result in the figures the game owns.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "lobby/data/profile_record.h"

namespace zrtgame {

struct LaunchProfile {
    zrt::ProfileRecord record;
    bool continueSavedGame = false;  // start mode 2
    std::string savedGame;           // its name, without extension
    bool gemstoneHall = false;
};

// The first profile in `gameDir` whose lobby login name is `loginName`.
std::optional<LaunchProfile> FindLaunchProfile(const std::filesystem::path& gameDir,
                                               const std::string& loginName);

// The saved game the profile continues: save/<folder>/<name>.SVM when it is a regular file.
std::optional<std::filesystem::path> SavedGameFile(const std::filesystem::path& gameDir,
                                                   const LaunchProfile& profile);

// Writes one finished match into the profile (read afresh): played + 1, and won + 1 with the
// score raised by 10 per beaten player, or lost + 1 with the score lowered by 10 (not below
// 0). False when the profile does not load or save.
bool RecordMatch(const std::filesystem::path& gameDir, const std::string& stem, bool won,
                 size_t players);

}  // namespace zrtgame
