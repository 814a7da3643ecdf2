// LobbyConnection: the client's way into a hall. It holds the process-wide session client
// ("the DirectPlay interface"), binds it to the database server's address, lists the halls
// and opens the chosen one on a worker thread with the hall password.
//
// Threads: everything is called on the user-interface thread except the join's callback, which
// runs on the join worker as its last act. The worker is joined when the caller reports that it
// handled the result (JoinHandled), or at the latest by CloseSession/EndDirectPlaySupport and
// the destructor, so no worker outlives the connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "lobby/session/hall_list.h"
#include "playnet/client.h"

namespace zrt {

class LobbyConnection {
  public:
    // The halls are offered on `hallPort` of the database server (tests give their own
    // client options, e.g. a shorter enumeration refresh).
    explicit LobbyConnection(uint16_t hallPort = playnet::kDefaultPort,
                             const playnet::ClientOptions& options = {});
    ~LobbyConnection();
    LobbyConnection(const LobbyConnection&) = delete;
    LobbyConnection& operator=(const LobbyConnection&) = delete;

    // Creates the session client once; later calls keep it. Unlike the platform's interface it
    // needs no system service, so there is no failure to report.
    void CreateDirectPlay();
    // Binds the client to the database server's host (name or dotted address) on the hall
    // port. False without a client or when the host cannot be resolved.
    bool ConnectToLobbyServer(const std::string& serverAddress);

    // One enumeration pass: `halls` is filled from empty with the open halls known so far
    // (the enumeration runs in the background, so the first pass usually finds none). Full
    // halls are left out; at most ten are taken, later ones ignored. True when the client
    // could be asked.
    bool EnumerateHalls(HallList& halls);
    // Starts the hall enumeration afresh: what the session layer knew of the halls (the counts
    // of a hall just left, say) is forgotten and the server is asked at once. `answered` is
    // called once, on the session layer's thread, when that answer can be enumerated; it may
    // only post to the user-interface thread. False without a bound client.
    bool RestartHallEnumeration(std::function<void()> answered);
    // `answered` is not called any more; no call of it is running when this returns.
    void ForgetHallAnswer();

    // Opens `hall` with the hall password on a worker thread, which ends by calling
    // `done(opened)`. Nothing happens (false) while a join is running or without a client.
    // Sets the gemstone-hall flag from the hall's kind.
    using JoinDone = std::function<void(bool opened)>;
    bool JoinHall(const HallEntry& hall, JoinDone done);
    // From JoinHall until JoinHandled.
    bool joinRunning() const { return joinRunning_; }
    // The caller has handled the join's result: the worker is joined and a new join may
    // start. Never call it from inside `done` (the worker would wait for itself).
    void JoinHandled();
    // What the last finished Open reported (for diagnostics).
    playnet::Result lastJoinResult() const { return lastJoinResult_; }

    // The joined hall is a gemstone hall (kind 10 and up).
    bool gemstoneHall() const { return gemstoneHall_; }

    // Leaves the hall session; the client and its enumeration stay. A running join is waited
    // for first.
    void CloseSession();
    // Closes the session and releases the client (program end).
    void EndDirectPlaySupport();

    // The client, for the lobby screen (own player, sends, receives). Null before
    // CreateDirectPlay.
    playnet::Client* directPlay() { return client_.get(); }

  private:
    const uint16_t hallPort_;
    const playnet::ClientOptions options_;
    std::unique_ptr<playnet::Client> client_;
    std::thread joinThread_;
    std::atomic<bool> joinRunning_{false};
    std::atomic<playnet::Result> lastJoinResult_{playnet::Result::Ok};
    bool gemstoneHall_ = false;
};

// The process-wide connection of the lobby client.
LobbyConnection& TheLobbyConnection();

}  // namespace zrt
