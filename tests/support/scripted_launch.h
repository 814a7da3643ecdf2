// ScriptedApplication: registers launch_script_app (tests/playnet) as the application of a
// GUID in a private configuration home and points this process's XDG variables at it, so a
// Launcher (or the lobby's GameLauncher) starts the script program instead of a game. The
// script's steps are handed down in LAUNCH_SCRIPT, which the started program inherits.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "playnet/registration.h"
#include "tests/support/temp_dir.h"

class ScriptedApplication {
  public:
    explicit ScriptedApplication(const std::string& guid) {
        namespace fs = std::filesystem;
        fs::create_directories(folder());
        fs::create_symlink(fs::path(ZRT_BIN_DIR) / "launch_script_app",
                           folder() / "launch_script_app");
        playnet::WriteRegistration("Scripted", {folder().string(), "launch_script_app", guid},
                                   (root_ / "xdg").string());
        setenv("XDG_CONFIG_HOME", (root_ / "xdg").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root_ / "none").c_str(), 1);
    }
    ~ScriptedApplication() { unsetenv("LAUNCH_SCRIPT"); }

    void script(const std::string& steps) { setenv("LAUNCH_SCRIPT", steps.c_str(), 1); }
    // The program's folder: its working directory once started.
    std::filesystem::path folder() const { return root_ / "app"; }
    // Registers a program file that does not exist under `guid` instead.
    void registerMissingProgram(const std::string& guid) {
        playnet::WriteRegistration("Scripted", {folder().string(), "no_such_program", guid},
                                   (root_ / "xdg").string());
    }

  private:
    zrttest::TempDir root_;
};
