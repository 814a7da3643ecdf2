// LobbySession: resetting the session state on entry into a hall.
#include "lobby/session/lobby_session.h"

namespace zrt {

void LobbySession::enterHall(const PlayerEntry& ownProfile, bool gemstones) {
    hall.enter(ownProfile);
    serverPlayerId = 0;
    grantedGroupId = 0;
    savedGameChoice = -1;
    gemstoneHall = gemstones;
    leavePending = false;
    welcomeEvent.reset();
    groupIdEvent.reset();
    leaveConfirmedEvent.reset();
}

}  // namespace zrt
