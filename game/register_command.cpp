// "zrtgame register": writes the game's lobby-launch registration. A launcher runs the
// registered program in the registered folder, and the game's working folder is the game
// folder (profiles, saves), so the registration names the game folder and the program file
// inside it: a link to this executable is put there when the folder has no program of its own.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/commands.h"
#include "lobby/data/game_identity.h"
#include "playnet/registration.h"

namespace zrtgame {
namespace fs = std::filesystem;

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "zrtgame register: %s\n", message.c_str());
    return 1;
}

}  // namespace

int RunRegister(Options& options) {
    if (!options.onlyKnown({"game-dir", "config-home"})) {
        std::fprintf(stderr, "zrtgame register: %s\n", options.error().c_str());
        return 2;
    }
    std::error_code ec;
    fs::path gameDir = fs::absolute(options.get("game-dir", "."), ec);
    fs::create_directories(gameDir, ec);
    if (ec) return Fail("cannot make the game folder " + gameDir.string());
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return Fail("cannot find the program's own file");
    const fs::path program = gameDir / kProgramFile;
    if (!fs::equivalent(program, self, ec)) {
        // A stale link is replaced; a program file of the folder's own is never overwritten.
        if (fs::is_symlink(fs::symlink_status(program, ec))) fs::remove(program, ec);
        fs::create_symlink(self, program, ec);
        if (ec) return Fail("cannot link " + program.string() + " to " + self.string());
    }
    playnet::AppRegistration reg{gameDir.lexically_normal().string(), kProgramFile, zrt::kGameGuid};
    if (!playnet::WriteRegistration(zrt::kGameAppName, reg, options.get("config-home", "")))
        return Fail("cannot write the registration");
    std::printf("registered %s: %s/%s %s\n", zrt::kGameAppName, reg.path.c_str(), reg.file.c_str(),
                reg.guid.c_str());
    return 0;
}

}  // namespace zrtgame
