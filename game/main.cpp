// zrtgame: a headless stand-in for the game program. It registers itself for lobby launching,
// plays a group's match when a lobby launches it, writes player profiles and saved games the
// way the game does, and shows what a profile holds; started with no command it plays a short
// training match. Usage: zrtgame [<command> [--option value]...]
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "game/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(zrtgame::Options&);
    const char* usage;
};

const Command kCommands[] = {
    {"register", zrtgame::RunRegister, "--game-dir DIR [--config-home DIR]"},
    {"new-profile", zrtgame::RunNewProfile,
     "--game-dir DIR --stem STEM --name NAME [--save-folder F] [--login L [--second S] "
     "[--portrait N] [--country N] [--score N] [--won N] [--lost N] [--played N] [--gems N] "
     "[--logins N] [--lobby-byte N]]"},
    {"save-game", zrtgame::RunSaveGame,
     "--game-dir DIR (--save-folder F | --stem STEM) --name NAME"},
    {"show-profile", zrtgame::RunShowProfile, "--game-dir DIR --stem STEM"},
};

int Usage() {
    std::fprintf(stderr, "usage:\n");
    for (const auto& c : kCommands) std::fprintf(stderr, "  zrtgame %s %s\n", c.name, c.usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::unique_ptr<playnet::LaunchedApp> lobby = playnet::LaunchedApp::FromEnvironment())
        return zrtgame::RunLaunched(*lobby);
    if (argc < 2) return zrtgame::RunTraining();
    std::string name = argv[1];
    for (const auto& c : kCommands) {
        if (name != c.name) continue;
        zrtgame::Options options;
        if (!options.parse(std::vector<std::string>(argv + 2, argv + argc))) {
            std::fprintf(stderr, "zrtgame %s: %s\n", c.name, options.error().c_str());
            return 2;
        }
        return c.run(options);
    }
    std::fprintf(stderr, "zrtgame: unknown command '%s'\n", name.c_str());
    return Usage();
}
