// HallPresence: the own player's life in a hall. EnterHall makes the session ready for the
// hall, creates the own player with the receiver's event and waits (bounded) for the server's
// welcome; Teardown ends the stay when the lobby screen closes.
//
// How the lobby frame uses it, with `session` and `client` the process-wide ones:
//   PlaynetSender sender{client, session};
//   SessionDispatcher dispatcher{session, sender, ui};
//   SessionReceiver receiver{client, session, dispatcher};
//   HallPresence presence{client, session, sender, receiver};   // declared last
//   receiver.StartSessionReceiver();
//   switch (presence.EnterHall(ownProfile, gemstoneHall)) ... // failure: show the text of
//                                                            // hallPresenceText, close the
//                                                            // session and the screen
//   ... the screen lives ...
//   presence.Teardown();   // on close; then the session is closed or the program ends
// Declared in this order, the members are destroyed in reverse: the presence (which tears
// down if nobody did) before the receiver whose event the client may still set.
//
// Thread: user interface.
#pragma once

#include <string>

#include "lobby/session/lobby_session.h"
#include "lobby/session/session_receiver.h"
#include "lobby/session/session_ui.h"
#include "playnet/client.h"

namespace zrt {

inline constexpr const char* kCannotCreatePlayerText = "Error - Cannot Create Player";
inline constexpr const char* kNoWelcomeText = "Error - Cannot Get Response from Server";

enum class HallPresenceResult {
    Ok,                  // the own player exists and the server welcomed it
    CannotCreatePlayer,  // kCannotCreatePlayerText
    NoWelcome,           // kNoWelcomeText; the own player has been destroyed again
};

// The error box text of a result, or nullptr for Ok.
const char* hallPresenceText(HallPresenceResult result);

class HallPresence {
  public:
    HallPresence(playnet::Client& client, LobbySession& session, SessionSender& sender,
                 SessionReceiver& receiver, int welcomeWaitMs = kServerWaitMs);
    // Tears down if the stay was not ended yet.
    ~HallPresence();
    HallPresence(const HallPresence&) = delete;
    HallPresence& operator=(const HallPresence&) = delete;

    // Empties the hall's tables and resets the session (not welcomed, no group), then
    // creates the own player named after `ownProfile`'s lobby name and waits for the
    // welcome. `ownProfile` is what the welcome announces. Any own player of an earlier
    // stay is torn down first.
    HallPresenceResult EnterHall(const PlayerEntry& ownProfile, bool gemstoneHall);

    // Stops the receiver, leaves the own group without waiting for the server, destroys the
    // own player and sets the own id to 0. Safe to call more than once.
    void Teardown();

  private:
    void destroyOwnPlayer();

    playnet::Client& client_;
    LobbySession& session_;
    SessionSender& sender_;
    SessionReceiver& receiver_;
    const int welcomeWaitMs_;
};

}  // namespace zrt
