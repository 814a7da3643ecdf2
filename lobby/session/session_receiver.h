// SessionReceiver: the thread that, while the lobby screen is open, takes every message the
// session client queues for the own player and hands it to the SessionDispatcher; after
// kRefreshIdleMs without messages it flushes the dispatcher's coalesced refresh requests.
//
// Waking. The receiver owns the own player's receive event: HallPresence hands it to
// Client::CreatePlayer, so the client sets it whenever a message is queued, and
// StopSessionReceiver sets the same event after raising the stop flag. One auto-reset event
// thus stands for "a message or a stop", and the loop waits on it at most kRefreshIdleMs.
// The event lives as long as the receiver; the own player must be destroyed (or the session
// closed) before the receiver goes, since the client sets the event until then.
//
// Messages are dispatched only once the own player id is known (HallPresence sets it, then
// calls wake()): a welcome that arrives between the player's creation and that moment waits
// in the queue instead of being answered on behalf of player 0.
//
// Only the hall's server player speaks to the lobby: an application message from any other
// sender is dropped unread, and before the welcome only a welcome from the player it names
// passes. System messages (sender 0) come from the session client itself.
//
// Threads: Start/Stop/wake on the user-interface thread; the loop on its own thread, which
// only talks to the SessionUi (whose implementation posts) and the session client.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "lobby/session/lobby_session.h"
#include "lobby/session/session_dispatcher.h"
#include "playnet/auto_reset_event.h"
#include "playnet/client.h"

namespace zrt {

// Under a steady stream of messages the receiver is never idle for kRefreshIdleMs; pending
// refreshes are then flushed at the latest after this long, so the panes do not freeze while
// a busy hall chats.
inline constexpr int kRefreshMaxDelayMs = 1000;

class SessionReceiver {
  public:
    SessionReceiver(playnet::Client& client, const LobbySession& session,
                    SessionDispatcher& dispatcher);
    // Stops the thread if it still runs.
    ~SessionReceiver();
    SessionReceiver(const SessionReceiver&) = delete;
    SessionReceiver& operator=(const SessionReceiver&) = delete;

    // The event to create the own player with.
    playnet::AutoResetEvent& receiveEvent() { return receiveEvent_; }

    // Clears the stop flag and the events, then starts the thread. False when it runs already.
    bool StartSessionReceiver();
    // Raises stop, waits up to `waitMs` for the loop to end, then joins the thread. Does
    // nothing when the receiver is not running; harmless when the loop ended by itself (a
    // stop result of the dispatcher) and when called twice.
    void StopSessionReceiver(int waitMs = kServerWaitMs);
    // The own player id is now known: drain what was queued before.
    void wake() { receiveEvent_.set(); }

    // The thread was started and not yet joined by StopSessionReceiver.
    bool running() const { return thread_.joinable(); }
    // The loop has ended (by stop, or by a stop result of the dispatcher).
    bool loopEnded() const { return ended_; }

  private:
    void run();
    // Receives until the queue is empty. Stop: the dispatcher ended the session, or a stop
    // was asked for meanwhile.
    DispatchResult drain();

    playnet::Client& client_;
    const LobbySession& session_;
    SessionDispatcher& dispatcher_;

    playnet::AutoResetEvent receiveEvent_;  // a message for the own player, or stop
    playnet::AutoResetEvent endedEvent_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::vector<uint8_t> buffer_;  // receiver thread only; grows to the largest message
    std::thread thread_;           // last: started when everything else exists
};

}  // namespace zrt
