// LobbySession: the client's session state for the time it sits in a hall, and the hall's
// tables (HallState).
//
// Threads: the scalar fields are atomics because both threads touch them.
// - ownPlayerId: written by the UI thread when the own player is created or destroyed (the
//   receiver is not yet or no longer running then); read by both.
// - serverPlayerId: reset by the UI thread before the own player is created; written by the
//   receiver at the welcome; read by the UI thread's senders (nothing is sent while it is 0).
// - grantedGroupId: written by the receiver (MSG_GROUP_ID), read by the UI thread after the
//   group-id event.
// - savedGameChoice, gemstoneHall: UI thread only.
// - leavePending: set and cleared by the UI thread around a waited leave; read and cleared by
//   the receiver.
// - minimised: written by the UI thread, read by the receiver (arrivals and departures then
//   post a status event so that the title's player count follows).
// The own group id, host flag and snapshot flag change together with the GroupTable, so they
// live in the HallTables under its lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "lobby/session/hall_state.h"
#include "playnet/auto_reset_event.h"

namespace zrt {

// Every wait of the UI thread on the lobby server is bounded by this.
inline constexpr int kServerWaitMs = 10000;

class LobbySession {
  public:
    std::atomic<uint32_t> ownPlayerId{0};
    std::atomic<uint32_t> serverPlayerId{0};
    std::atomic<uint32_t> grantedGroupId{0};
    std::atomic<int> savedGameChoice{-1};
    std::atomic<bool> gemstoneHall{false};
    std::atomic<bool> leavePending{false};
    std::atomic<bool> minimised{false};

    playnet::AutoResetEvent welcomeEvent;
    playnet::AutoResetEvent groupIdEvent;
    playnet::AutoResetEvent leaveConfirmedEvent;

    HallState hall;

    // Entering a hall, before the own player is created: empty tables, no group, not welcomed,
    // the events cleared. `ownProfile` is what the welcome will announce (address, lobby name,
    // figures); its id is the own player id, filled in at the welcome.
    void enterHall(const PlayerEntry& ownProfile, bool gemstones);

    // The UI thread's wait for the first welcome (bounded).
    bool WaitForWelcome(int timeoutMs = kServerWaitMs) { return welcomeEvent.wait(timeoutMs); }
};

}  // namespace zrt
