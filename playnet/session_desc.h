// Player ids, well-known addresses and the description of a session as enumerated and as
// reported by an open session.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "playnet/guid.h"

namespace playnet {

using PlayerId = uint32_t;

// Sender id of system messages; as a receiver, "every player of the session".
inline constexpr PlayerId kSystemPlayer = 0;
inline constexpr PlayerId kAllPlayers = 0;

inline constexpr uint16_t kDefaultPort = 47624;

// Send flags. Both kinds travel on the same ordered stream; the flag is carried for callers
// that care what was asked for.
inline constexpr uint32_t kSendGuaranteed = 1;

// Longest session name, player name and password (bytes).
inline constexpr size_t kMaxNameLength = 255;

struct SessionDesc {
    std::string name;
    Guid application;
    Guid instance;
    uint32_t maxPlayers = 0;         // 0: no limit
    uint32_t currentPlayers = 0;     // every player, host-owned players included
    std::array<uint32_t, 4> user{};  // user fields 1..4; user[0] is the first user field
    bool passwordRequired = false;
};

}  // namespace playnet
