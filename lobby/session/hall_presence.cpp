// HallPresence: creating the own player, the welcome wait, and the end of a stay in a hall.
#include "lobby/session/hall_presence.h"

#include "lobby/session/group_actions.h"

namespace zrt {

const char* hallPresenceText(HallPresenceResult result) {
    switch (result) {
        case HallPresenceResult::Ok:
            return nullptr;
        case HallPresenceResult::CannotCreatePlayer:
            return kCannotCreatePlayerText;
        case HallPresenceResult::NoWelcome:
            return kNoWelcomeText;
    }
    return nullptr;
}

HallPresence::HallPresence(playnet::Client& client, LobbySession& session, SessionSender& sender,
                           SessionReceiver& receiver, int welcomeWaitMs)
    : client_(client),
      session_(session),
      sender_(sender),
      receiver_(receiver),
      welcomeWaitMs_(welcomeWaitMs) {}

HallPresence::~HallPresence() {
    Teardown();
}

HallPresenceResult HallPresence::EnterHall(const PlayerEntry& ownProfile, bool gemstoneHall) {
    destroyOwnPlayer();
    session_.enterHall(ownProfile, gemstoneHall);
    playnet::PlayerId id = 0;
    if (client_.CreatePlayer(ownProfile.name, &receiver_.receiveEvent(), id) !=
            playnet::Result::Ok ||
        id == 0) {
        return HallPresenceResult::CannotCreatePlayer;
    }
    session_.ownPlayerId = id;
    // The welcome may be queued already; the receiver held it back until the id was known.
    receiver_.wake();
    if (!session_.WaitForWelcome(welcomeWaitMs_)) {
        destroyOwnPlayer();
        return HallPresenceResult::NoWelcome;
    }
    return HallPresenceResult::Ok;
}

void HallPresence::Teardown() {
    receiver_.StopSessionReceiver();
    // Nothing goes out without an own player and a server player; in no group it sends
    // nothing either.
    GroupActions(session_, sender_).LeaveOwnGroup(false);
    destroyOwnPlayer();
}

void HallPresence::destroyOwnPlayer() {
    const uint32_t id = session_.ownPlayerId.exchange(0);
    // After a lost session the client may have dropped the player already; that is fine.
    if (id != 0) client_.DestroyPlayer(id);
}

}  // namespace zrt
