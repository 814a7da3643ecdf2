// "zrtgame save-game": writes a saved multiplayer game save/<folder>/<NAME>.SVM.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "game/commands.h"
#include "lobby/data/profile_file.h"

namespace zrtgame {
namespace fs = std::filesystem;

static bool IsPlainName(const std::string& s, size_t maxLen) {
    return !s.empty() && s.size() <= maxLen && s != "." && s != ".." &&
           s.find_first_of("/\\") == std::string::npos;
}

int RunSaveGame(Options& o) {
    if (!o.onlyKnown({"game-dir", "save-folder", "stem", "name"})) {
        std::fprintf(stderr, "zrtgame save-game: %s\n", o.error().c_str());
        return 2;
    }
    fs::path gameDir = o.get("game-dir", ".");
    std::string folder = o.get("save-folder", "");
    if (folder.empty()) {
        auto stem = o.get("stem");
        zrt::ProfileRecord r;
        if (!stem || !zrt::LoadProfile(gameDir, zrt::ProfileFileName(*stem), r)) {
            std::fprintf(
                stderr,
                "zrtgame save-game: give --save-folder or the --stem of a profile that loads\n");
            return 1;
        }
        folder = r.saveFolder();
    }
    std::string name = o.get("name", "");
    if (!IsPlainName(folder, 8) || !IsPlainName(name, 13) || name.find('.') != std::string::npos) {
        std::fprintf(
            stderr,
            "zrtgame save-game: folder (1-8) and name (1-13, no '.') must be plain names\n");
        return 2;
    }
    fs::path dir = gameDir / "save" / folder;
    std::error_code ec;
    fs::create_directories(dir, ec);
    fs::path file = dir / (name + ".SVM");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "ZRTSAVE\n" << name << "\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "zrtgame save-game: cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("wrote %s\n", file.c_str());
    return 0;
}

}  // namespace zrtgame
