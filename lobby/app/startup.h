// The start-up routine: every check the lobby makes before its first window, in order, each
// stopping the program with its own message in the ErrorBox.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "lobby/data/game_identity.h"
#include "lobby/platform/instance_lock.h"

namespace zrt {

class LoginWindow;

// The start-up messages, in the order in which they can occur.
inline constexpr const char* kMsgColourMode = "Please Run in True or High Color Mode";
inline constexpr const char* kMsgSecondCopy = "Another Instance of ZRTLobby is Running";
inline constexpr const char* kMsgNotRegistered = "Zerathon is not Correctly Registered";
inline constexpr const char* kMsgSockets = "Socket Initialization Error";
inline constexpr const char* kMsgInternet = "Internet Connection Error";
inline constexpr const char* kMsgResources = "Error Loading Lobby Resources";

inline constexpr const char* kInstanceLockName = "LobbyPrevent2ndInstance";

struct StartupOptions {
    QString gameDir;                      // the game folder; the working directory by default
    std::optional<std::string> hostName;  // the machine's own name unless given
};

class Startup {
  public:
    explicit Startup(StartupOptions options = {});
    ~Startup();

    // Runs the start-up steps. True when the login window is the main window; false when a
    // step stopped (its message has been shown) and the program is to end.
    bool run();

    // The message of the step that stopped, empty when none did (or the stop is silent).
    const QString& stopMessage() const { return stopMessage_; }
    LoginWindow* loginWindow() const { return login_; }

  private:
    bool stop(const char* message);
    bool registrationOk() const;

    StartupOptions options_;
    QString stopMessage_;
    // The single-copy lock lives as long as the process's start-up object (all of main).
    InstanceLock lock_;
    LoginWindow* login_ = nullptr;
};

}  // namespace zrt
