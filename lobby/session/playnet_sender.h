// PlaynetSender: the SessionSender of the running lobby. Every lobby message goes from the own
// player to the server player of the LobbySession through the session client.
//
// Threads: called by the user-interface thread (chat, groups) and by the session receiver
// (the welcome's replies); the client's Send is thread-safe and the ids are atomics.
#pragma once

#include <cstdint>
#include <vector>

#include "lobby/session/lobby_session.h"
#include "lobby/session/session_ui.h"
#include "playnet/client.h"

namespace zrt {

class PlaynetSender : public SessionSender {
  public:
    PlaynetSender(playnet::Client& client, const LobbySession& session);

    // Nothing goes out while there is no own player or no welcome has named the server
    // player (either id 0). A failed send is not reported: a lost link shows up as the
    // session-lost notice on the receiver.
    void send(const std::vector<uint8_t>& message) override;

  private:
    playnet::Client& client_;
    const LobbySession& session_;
};

}  // namespace zrt
