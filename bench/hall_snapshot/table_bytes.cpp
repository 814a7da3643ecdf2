// Adding up the bytes of the hall tables.
#include "table_bytes.h"

#include <string>

namespace zrt::bench {

namespace {

// Heap bytes of a string: none while it lives in its in-place buffer.
size_t heapBytes(const std::string& s) {
    const char* p = s.data();
    const char* self = reinterpret_cast<const char*>(&s);
    const bool inPlace = p >= self && p < self + sizeof(s);
    return inPlace ? 0 : s.capacity() + 1;
}

}  // namespace

TableBytes tableBytes(const HallTables& hall) {
    TableBytes b;
    const auto& players = hall.players.entries();
    b.players = players.capacity() * sizeof(PlayerEntry);
    for (const PlayerEntry& p : players) b.players += heapBytes(p.address) + heapBytes(p.name);

    const auto& groups = hall.groups.entries();
    b.groups = groups.capacity() * sizeof(GroupEntry);
    for (const GroupEntry& g : groups) {
        b.groups += heapBytes(g.title) + g.members.capacity() * sizeof(uint32_t);
    }

    // One node per name; the names of the snapshot fit the nodes' in-place buffers.
    b.inGameNames = hall.inGameNames.size() * sizeof(NameSet::Node);

    b.other = sizeof(HallTables) - sizeof(PlayerTable) - sizeof(GroupTable) - sizeof(NameSet) +
              hall.blocked.ids().capacity() * sizeof(uint32_t) +
              hall.groupDialog.members.capacity() * sizeof(uint32_t) +
              heapBytes(hall.ownProfile.address) + heapBytes(hall.ownProfile.name);
    b.players += sizeof(PlayerTable);
    b.groups += sizeof(GroupTable);
    b.inGameNames += sizeof(NameSet);
    return b;
}

}  // namespace zrt::bench
