// SessionDispatcher: applies each lobby message the own player receives to the hall tables and
// tells the user interface what changed. It is the session receiver's logic without the
// receiving: the receiver loop hands it every application message (DispatchMessage), every
// system message (DispatchSystemMessage) and calls FlushRefresh after 100 ms without messages.
//
// Thread: session receiver. One dispatcher serves one stay in a hall (it mirrors which players
// have a line in the player list, which starts empty with the hall).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "lobby/session/lobby_session.h"
#include "lobby/session/refresh_requests.h"
#include "lobby/session/session_ui.h"

namespace zrt {

enum class DispatchResult { Continue, Stop };

class SessionDispatcher {
  public:
    SessionDispatcher(LobbySession& session, SessionSender& sender, SessionUi& ui);

    // One application message with its size. Messages of 3 bytes or fewer, unknown codes and
    // messages shorter than their fixed fields have no effect. Stop: the own name was taken
    // over, or the own group's host launched; the receiver ends.
    DispatchResult DispatchMessage(const uint8_t* data, size_t size);
    // A system message by its type; only the lost session has an effect (and stops).
    DispatchResult DispatchSystemMessage(uint32_t type);

    // After 100 ms idle: hand every pending refresh to the UI, then forget them.
    void FlushRefresh();
    const RefreshRequests& pendingRefresh() const { return refresh_; }

  private:
    // What a message makes the dispatcher do outside the lock, in order: sends, UI calls and
    // event sets.
    using Outbox = std::vector<std::function<void()>>;

    void onWelcome(const uint8_t* data, size_t size, Outbox& out);
    void onChat(const uint8_t* data, size_t size, Outbox& out);
    DispatchResult onLaunch(const uint8_t* data, size_t size, Outbox& out);
    void onPlayerInfo(const uint8_t* data, size_t size, Outbox& out);
    DispatchResult onPlayerLeft(const uint8_t* data, size_t size, Outbox& out);
    void onStateEnd(Outbox& out);
    void onGroupId(const uint8_t* data, size_t size, Outbox& out);
    void onInvite(const uint8_t* data, size_t size, Outbox& out);
    void onInviteReply(const uint8_t* data, size_t size, Outbox& out);
    void onNews(const uint8_t* data, size_t size, Outbox& out);
    void onGroupCreated(const uint8_t* data, size_t size, Outbox& out);
    void onGroupRemoved(const uint8_t* data, size_t size, Outbox& out);
    void onGroupJoin(const uint8_t* data, size_t size, Outbox& out);
    void onGroupLeave(const uint8_t* data, size_t size, Outbox& out);

    // Removes `player` from the first group that holds him (host succession, own group and
    // dialog bookkeeping, empty groups dropped). True when he was removed from one.
    bool RemoveFromGroups(HallTables& hall, uint32_t player, Outbox& out);
    // RemoveFromGroups repeated until the player is in no group.
    void removeFromEveryGroup(HallTables& hall, uint32_t player, Outbox& out);

    void send(Outbox& out, std::vector<uint8_t> message);
    void addPlayerLine(const PlayerEntry& player, Outbox& out);
    // A status event for a player arrival or departure, needed only while minimised.
    void statusIfMinimised(Outbox& out);

    LobbySession& session_;
    SessionSender& sender_;
    SessionUi& ui_;
    RefreshRequests refresh_;
    std::vector<uint32_t> listedPlayers_;  // item data of the player list's lines
};

}  // namespace zrt
