// Listing the saved games of a player's save folder.
#include "lobby/data/saved_games.h"

#include <system_error>

namespace zrt {
namespace fs = std::filesystem;

SavedGameTable ListSavedGames(const fs::path& gameDir, const std::string& saveFolder) {
    SavedGameTable table;
    // The folder name comes from a profile file: it must stay inside the save folder.
    if (saveFolder.empty() || saveFolder == "." || saveFolder == ".." ||
        saveFolder.find_first_of("/\\") != std::string::npos)
        return table;
    std::error_code ec;
    fs::directory_iterator it(gameDir / "save" / saveFolder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".SVM") != 0) continue;
        if (!it->is_regular_file(ec)) continue;
        name = name.substr(0, name.find('.'));
        if (name.size() > kMaxSavedGameChars) continue;
        table.names.push_back(name);
        if (table.names.size() >= kMaxSavedGames) break;
    }
    return table;
}

}  // namespace zrt
