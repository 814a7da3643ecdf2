// GameLauncher: starts the game for the own group through the launcher of the session layer
// and waits until the game has reported its connection attempt (or has ended), logging every
// lobby message into "Launch.LOG". The host's game creates the group's game session; a
// member's game joins it at the host's address. The lobby sends its launch message and ends
// only after this returns.
//
// Thread: any; it blocks for the whole wait (the lobby screen runs it off its UI thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "playnet/auto_reset_event.h"
#include "playnet/launch_settings.h"
#include "playnet/launcher.h"

namespace zrt {

inline constexpr const char* kHostLaunchFailedText = "Error - Cannot Launch Zerathon";
inline constexpr const char* kMemberLaunchFailedText = "Cannot Launch Zerathon";

// Who launches and with what.
struct LaunchRequest {
    bool host = false;        // create the session (host) or join it (member)
    std::string hostAddress;  // a member's: the host's address text from the launch message
    size_t memberCount = 0;   // the own group's members
    std::string playerName;   // the own lobby name
};

// The connection settings the game is handed: create or join flags, the session with the fixed
// instance GUID and the game's GUID, the host's maximum players and session name, the player's
// names, and the address (for the host an empty text, for a member the host's address).
playnet::ConnectionSettings BuildConnectionSettings(const LaunchRequest& request);

struct LaunchWaitOptions {
    int passMs = 2000;    // one pass of waiting for the game's next message
    int boundMs = 60000;  // the whole wait: a game that never reports is a failed launch
};

// The lobby-message wait for a started game: true once the game has reported its connection
// attempt and nothing more is queued, or has ended; false on a failure or at the bound.
bool WaitForGameReport(playnet::Launcher& launcher, uint32_t appId, playnet::AutoResetEvent& event,
                       const std::filesystem::path& logFile, const LaunchWaitOptions& options);

// Starts the game and waits for its report. `gameDir` holds "Launch.LOG". False when the game
// is not registered or cannot be started (no log is written then) or the wait fails.
bool GameLauncher(const LaunchRequest& request, const std::filesystem::path& gameDir,
                  const LaunchWaitOptions& options = {});

}  // namespace zrt
