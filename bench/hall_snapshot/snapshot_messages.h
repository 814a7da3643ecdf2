// The state snapshot a hall server sends a newcomer, as the encoded lobby messages the client
// receives: the welcome, every other player's information, every group with its joins, and the
// state end. Built with the real codecs so the dispatcher reads exactly what the wire carries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lobby/session/lobby_messages.h"

namespace zrt::bench {

inline constexpr uint32_t kServerId = 7;
inline constexpr uint32_t kOwnId = 5000;

struct SnapshotShape {
    size_t players = 999;  // other players; with the own player the PlayerTable is full
    size_t groups = 500;   // the GroupTable is full
};

struct Snapshot {
    std::vector<Bytes> messages;  // in arrival order
    size_t players = 0;
    size_t groups = 0;
    size_t members = 0;   // group members over all groups
    size_t launched = 0;  // launched groups
    size_t bytes = 0;     // the messages' total size
};

// Players get ids 1..players; group g holds 1 + g % 3 members (the creator first) taken in id
// order, so 999 players fill 500 groups exactly. Every tenth group is already launched.
Snapshot buildSnapshot(const SnapshotShape& shape = {});

}  // namespace zrt::bench
