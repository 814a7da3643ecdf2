// Starting a program for the launcher: a detached process (not a child of this one, so it
// outlives the lobby and is never left a zombie) in a given working directory, handed one
// inherited descriptor and nothing else.
#pragma once

#include <string>

namespace playnet {

// The descriptor number the started program finds its inherited socket at.
inline constexpr int kInheritedFd = 3;

// Starts `program` (a path; relative paths are taken from `workingDir`) with `workingDir` as
// its working directory, argv = { argv0 }, this process's environment plus `extraEnv`
// ("NAME=value"), `inheritFd` as descriptor kInheritedFd and every other descriptor above 2
// closed. Returns 0 once the program runs, else the errno of the step that failed (chdir or
// exec included).
int StartDetached(const std::string& workingDir, const std::string& program,
                  const std::string& argv0, int inheritFd, const std::string& extraEnv);

}  // namespace playnet
