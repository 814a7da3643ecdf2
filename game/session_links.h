// The game session of a launched group, on each side: the host's game offers it on the game
// port of every address and plays from a player of its own; a member's game joins it at the
// host's address. Both hand the match its messages (MatchLink).
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "game/match.h"
#include "playnet/auto_reset_event.h"
#include "playnet/client.h"
#include "playnet/host.h"
#include "playnet/launch_settings.h"

namespace zrtgame {

// Game sessions are offered on this TCP port (the halls use playnet's default port).
inline constexpr uint16_t kGamePort = 2300;

class HostedSession : public MatchLink {
  public:
    // Starts offering the session the settings describe, with the host's own player in it.
    // False (with the reason in `error`) when the port or the session cannot be had.
    bool Create(const playnet::ConnectionSettings& settings, const std::string& playerName,
                std::string& error);
    // The names of every player, the host's first, once `count` are in or `waitMs` passed.
    std::vector<std::string> WaitForPlayers(size_t count, int waitMs);
    void Close() { host_.Close(); }

    bool SendToAll(const std::vector<uint8_t>& message) override;
    std::optional<std::vector<uint8_t>> Receive(int timeoutMs) override;

  private:
    playnet::Host host_;
    playnet::Guid session_;
    playnet::PlayerId player_ = 0;
};

class JoinedSession : public MatchLink {
  public:
    // Joins the settings' session at the host's address, waiting up to waitMs for the host to
    // offer it. False (with the reason in `error`) when it cannot be joined.
    bool Join(const playnet::ConnectionSettings& settings, const std::string& playerName,
              int waitMs, std::string& error);
    // The host's roster, waiting up to waitMs; other match messages are kept for the match.
    std::optional<Roster> WaitForRoster(int waitMs);
    // Waits up to waitMs for the host's "done" (or the end of the session).
    void WaitForDone(int waitMs);
    void Close() { client_.Close(); }

    bool SendToAll(const std::vector<uint8_t>& message) override;
    std::optional<std::vector<uint8_t>> Receive(int timeoutMs) override;

  private:
    std::optional<std::vector<uint8_t>> receiveFromSession(int timeoutMs);

    playnet::AutoResetEvent event_;  // declared before the client, which sets it
    playnet::Client client_;
    playnet::PlayerId player_ = 0;
    bool lost_ = false;
    std::deque<std::vector<uint8_t>> kept_;
};

}  // namespace zrtgame
