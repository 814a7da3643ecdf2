// The subcommands of zrtgame. Each takes its parsed options and returns the exit status.
#pragma once

#include "game/options.h"
#include "playnet/launched_app.h"

namespace zrtgame {

// The program file the registration names, inside the game folder.
constexpr const char* kProgramFile = "zrtgame";

int RunRegister(Options& options);
int RunNewProfile(Options& options);
int RunShowProfile(Options& options);
int RunSaveGame(Options& options);

// Started with no command (the launcher's training button): a short training match on its own.
int RunTraining();

// Started by a lobby: the group's game, on its launch channel.
int RunLaunched(playnet::LaunchedApp& lobby);

}  // namespace zrtgame
