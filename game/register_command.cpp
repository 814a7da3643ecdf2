// "zrtgame register": writes the game's lobby-launch registration naming this executable.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/commands.h"
#include "playnet/registration.h"

namespace zrtgame {
namespace fs = std::filesystem;

int RunRegister(Options& options) {
    if (!options.onlyKnown({"game-dir", "config-home"})) {
        std::fprintf(stderr, "zrtgame register: %s\n", options.error().c_str());
        return 2;
    }
    std::error_code ec;
    fs::path gameDir = options.get("game-dir", ".");
    fs::create_directories(gameDir, ec);
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        std::fprintf(stderr, "zrtgame register: cannot find the program's own folder\n");
        return 1;
    }
    playnet::AppRegistration reg{self.parent_path().string(), kProgramFile, kAppGuid};
    if (!playnet::WriteRegistration(kAppName, reg, options.get("config-home", ""))) {
        std::fprintf(stderr, "zrtgame register: cannot write the registration\n");
        return 1;
    }
    std::printf("registered %s: %s/%s %s\n", kAppName, reg.path.c_str(), reg.file.c_str(),
                reg.guid.c_str());
    return 0;
}

}  // namespace zrtgame
