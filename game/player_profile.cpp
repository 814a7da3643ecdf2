// Reading the launch settings from the player's profile and writing the match's result.
#include "game/player_profile.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

#include "lobby/data/profile_file.h"

namespace zrtgame {
namespace fs = std::filesystem;
using namespace zrt::profile_offset;

std::optional<LaunchProfile> FindLaunchProfile(const fs::path& gameDir,
                                               const std::string& loginName) {
    std::error_code ec;
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(gameDir, ec))
        if (entry.path().extension() == ".PRF") files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        LaunchProfile p;
        if (!zrt::LoadProfile(gameDir, file, p.record)) continue;
        if (!p.record.hasLobbyAccount() || p.record.loginName() != loginName) continue;
        p.continueSavedGame = p.record.u8(kStartMode) == 2;
        p.savedGame = p.record.text(kSavedGame, zrt::profile_width::kSavedGame);
        p.gemstoneHall = p.record.u8(kGemHall) == 1;
        return p;
    }
    return std::nullopt;
}

std::optional<fs::path> SavedGameFile(const fs::path& gameDir, const LaunchProfile& profile) {
    const std::string folder = profile.record.saveFolder();
    const std::string& name = profile.savedGame;
    auto plain = [](const std::string& s) {
        return !s.empty() && s != "." && s != ".." && s.find_first_of("/\\") == std::string::npos;
    };
    if (!plain(folder) || !plain(name)) return std::nullopt;
    fs::path file = gameDir / "save" / folder / (name + ".SVM");
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    return file;
}

bool RecordMatch(const fs::path& gameDir, const std::string& stem, bool won, size_t players) {
    zrt::ProfileRecord r;
    if (!zrt::LoadProfile(gameDir, zrt::ProfileFileName(stem), r)) return false;
    auto bump = [&r](size_t offset) {
        r.setU16(offset, static_cast<uint16_t>(std::min<unsigned>(r.u16(offset) + 1u, 65535u)));
    };
    bump(kPlayed);
    const unsigned score = r.u16(kScore);
    if (won) {
        bump(kWon);
        const unsigned gain = 10u * static_cast<unsigned>(players > 1 ? players - 1 : 0);
        r.setU16(kScore, static_cast<uint16_t>(std::min(score + gain, 65535u)));
    } else {
        bump(kLost);
        r.setU16(kScore, static_cast<uint16_t>(score > 10 ? score - 10 : 0));
    }
    return zrt::SaveProfile(gameDir, r);
}

}  // namespace zrtgame
