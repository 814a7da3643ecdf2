// SessionTable: the sessions a host offers and the players in them, with the rules of
// joining (password, maximum players). Plain data; the Host guards it with its own mutex.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "playnet/guid.h"
#include "playnet/session_desc.h"
#include "playnet/wire_messages.h"

namespace playnet {

// What the host program says about a session it offers.
struct SessionConfig {
    std::string name;
    Guid application;
    uint32_t maxPlayers = 0;  // 0: no limit; host-owned players count too
    std::array<uint32_t, 4> user{};
    std::string password;  // empty: none
    Guid instance;         // null: a fresh one is generated
    // Clients may send only to host-owned players (a lobby hall: everything goes through the
    // server's player); other sends are dropped and counted.
    bool clientsReachHostOnly = false;
    uint32_t playersPerConnection = 0;  // 0: no limit
};

struct TablePlayer {
    PlayerId id = 0;
    Guid session;
    std::string name;
    uint64_t owner = 0;  // the connection that created it; 0 for the host's own players
};

class SessionTable {
  public:
    // The new session's instance id (the configured one, or generated); nothing when the
    // configured id is taken already.
    std::optional<Guid> AddSession(const SessionConfig& config);
    // Removes the session and its players (returned).
    std::vector<TablePlayer> RemoveSession(const Guid& instance);
    bool HasSession(const Guid& instance) const;
    std::vector<Guid> Sessions() const;

    std::optional<SessionDesc> Describe(const Guid& instance) const;
    // The host program's settings of the session; null when there is no such session.
    const SessionConfig* Config(const Guid& instance) const;
    // The sessions of an application, in creation order.
    std::vector<SessionDesc> Enumerate(const Guid& application) const;
    WireStatus CheckOpen(const Guid& instance, const std::string& password) const;

    // Ok with `id` set, or NoSuchSession / SessionFull.
    WireStatus AddPlayer(const Guid& session, const std::string& name, uint64_t owner,
                         PlayerId& id);
    std::optional<TablePlayer> RemovePlayer(PlayerId id);
    const TablePlayer* Player(PlayerId id) const;
    // Players of a session in creation order.
    std::vector<PlayerId> PlayersOf(const Guid& session) const;
    std::vector<PlayerId> PlayersOwnedBy(uint64_t owner) const;

  private:
    struct Session {
        SessionConfig config;
        Guid instance;
        uint64_t order = 0;
        std::vector<PlayerId> players;
    };
    SessionDesc describe(const Session& s) const;

    std::map<Guid, Session> sessions_;
    std::unordered_map<PlayerId, TablePlayer> players_;
    uint64_t nextOrder_ = 0;
    PlayerId nextPlayer_ = 1;
};

}  // namespace playnet
