// The subcommands of zrtgame. Each takes its parsed options and returns the exit status.
#pragma once

#include "game/options.h"

namespace zrtgame {

// The game's lobby-launch registration.
constexpr const char* kAppName = "Zerathon";
constexpr const char* kAppGuid = "{5B0C2E71-9A4D-47F3-8E21-3C6D0B9A7F14}";
constexpr const char* kProgramFile = "zrtgame";

int RunRegister(Options& options);
int RunNewProfile(Options& options);
int RunShowProfile(Options& options);
int RunSaveGame(Options& options);

}  // namespace zrtgame
