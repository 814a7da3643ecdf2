// System messages: what the session layer itself queues for a local player, with sender id
// kSystemPlayer (0). Each is a small little-endian record whose first 32-bit field is its
// type code:
//
//   session lost    (0x31)   offset 0: type                                  size 4
//   player created  (0x101)  offset 0: type, 4: player id, 8: name + NUL      size 9 + n
//   player destroyed(0x102)  offset 0: type, 4: player id                     size 8
//
// "Player created/destroyed" name another player of the session, never the receiver.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "playnet/session_desc.h"

namespace playnet {

inline constexpr uint32_t kSysSessionLost = 0x31;
inline constexpr uint32_t kSysPlayerCreated = 0x101;
inline constexpr uint32_t kSysPlayerDestroyed = 0x102;

struct SystemMessage {
    uint32_t type = 0;
    PlayerId player = 0;  // created/destroyed
    std::string name;     // created

    std::vector<uint8_t> Encode() const;
    // Nothing when the bytes are too short for the type's fields or the type is unknown.
    static std::optional<SystemMessage> Decode(const void* data, size_t size);
};

}  // namespace playnet
