// The registration of a lobby-launchable application: an INI file
// "playnet/applications/<name>.ini" with the keys Path, File and Guid, looked up in
// $XDG_CONFIG_HOME (default ~/.config) and then in each folder of $XDG_CONFIG_DIRS
// (default /etc/xdg). The game writes it when it is installed; the lobby reads it to find
// and start the game.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "playnet/guid.h"

namespace playnet {

struct AppRegistration {
    std::string path;  // folder of the program
    std::string file;  // program file name inside that folder
    std::string guid;  // application GUID in braces, as registered
};

// The folders searched, in order.
std::vector<std::string> RegistrationSearchDirs();

// The first registration of `appName` found; nothing when there is none or it lacks a key.
std::optional<AppRegistration> ReadRegistration(const std::string& appName);

// The first registration, in search order (files of a folder by name), whose Guid names
// `application` (compared as a GUID, so letter case does not matter here); nothing when none.
std::optional<AppRegistration> FindRegistration(const Guid& application);

// Parses the text of a registration file; nothing when a key is missing.
std::optional<AppRegistration> ParseRegistration(const std::string& text);

// Writes the registration into <configHome>/playnet/applications/<appName>.ini (folders
// created as needed). configHome empty: the first search folder ($XDG_CONFIG_HOME).
bool WriteRegistration(const std::string& appName, const AppRegistration& reg,
                       const std::string& configHome = {});

}  // namespace playnet
