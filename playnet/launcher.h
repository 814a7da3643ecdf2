// Launcher: the lobby's side of a lobby launch. It starts the program registered under an
// application GUID (see registration.h) in the program's folder, hands it the connection
// settings over a socket pair the program inherits (never through its command line or a
// file), and returns the lobby messages the program sends back: "settings read", "connect
// succeeded/failed", "terminated". "Terminated" also comes, once, when the program ends by
// itself or dies without saying so (its end of the socket closes).
//
// Threads: every public call is thread-safe. One reader thread per started program queues its
// messages and sets the program's event; the destructor stops the readers and drops the
// channels (a program still running then sees its lobby gone and carries on).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "playnet/auto_reset_event.h"
#include "playnet/guid.h"
#include "playnet/launch_settings.h"
#include "playnet/result.h"

namespace playnet {

// The environment variable naming the descriptor of the launch channel in the program.
inline constexpr const char* kLaunchFdVariable = "PLAYNET_LAUNCH_FD";

class Launcher {
  public:
    Launcher();
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Starts the application registered under `application` with `settings`. `event` (may be
    // null; it must outlive this Launcher) is set whenever a lobby message of the program is
    // queued. UnknownApplication: no registration names that GUID. StartFailed: the program
    // could not be started (missing, not executable, its folder gone). Ok: `appId` names it.
    Result RunApplication(const Guid& application, const ConnectionSettings& settings,
                          AutoResetEvent* event, uint32_t& appId);

    // The oldest lobby message of `appId`. Ok: `flags`, `size` and the buffer are set.
    // BufferTooSmall: `size` is set to what the message needs; it stays queued.
    // NoMessages: nothing waiting. InvalidParams: no such application.
    Result ReceiveLobbyMessage(uint32_t appId, uint32_t& flags, void* buffer, size_t& size);

    // True once the program's end of the channel closed (it ended, died or broke the channel)
    // and its end was queued: nothing more of it can arrive. False while it runs, or for an
    // unknown `appId`.
    bool ProgramEnded(uint32_t appId);

  private:
    struct Channel;
    std::mutex mutex_;
    std::map<uint32_t, std::shared_ptr<Channel>> channels_;
    uint32_t nextId_ = 1;
};

}  // namespace playnet
