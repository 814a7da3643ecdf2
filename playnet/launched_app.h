// LaunchedApp: the application's side of a lobby launch. A program started by a Launcher finds
// its end of the launch channel in the environment, reads the connection settings the lobby
// prepared, and reports back through lobby messages: the settings were read (sent by
// GetConnectionSettings itself), the session was created or joined, or not, and the end.
//
// The lobby may be gone by the time the program reports (it ends right after the launch):
// sends then fail quietly and the program carries on.
#pragma once

#include <memory>
#include <optional>

#include "playnet/launch_settings.h"

namespace playnet {

class LaunchedApp {
  public:
    // The launch channel this process was started with (the descriptor named by
    // PLAYNET_LAUNCH_FD, which must be a socket); nothing when it was not started by a
    // lobby. The variable is removed, and the descriptor closed on exec, so that programs this
    // one starts do not take the channel for theirs.
    static std::unique_ptr<LaunchedApp> FromEnvironment();

    explicit LaunchedApp(int fd);  // takes the descriptor
    ~LaunchedApp();
    LaunchedApp(const LaunchedApp&) = delete;
    LaunchedApp& operator=(const LaunchedApp&) = delete;

    // The settings, waiting up to timeoutMs for them; the first successful read also tells the
    // lobby "settings read". Nothing when they do not come in time or are not readable.
    std::optional<ConnectionSettings> GetConnectionSettings(int timeoutMs);

    // A system message (kLobbySys...) or an application message to the lobby. False when the
    // lobby is no longer listening, or the message is larger than kMaxMessageSize.
    bool SendSystemMessage(uint32_t code);
    bool SendLobbyMessage(const LobbyMessage& message);

  private:
    int fd_;
    std::optional<ConnectionSettings> settings_;
};

}  // namespace playnet
