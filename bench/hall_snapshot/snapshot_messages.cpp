// Building the hall snapshot messages.
#include "snapshot_messages.h"

#include <string>

#include "lobby/session/group_table.h"

namespace zrt::bench {

namespace {

PlayerEntry otherPlayer(uint32_t id) {
    PlayerEntry p;
    p.id = id;
    p.address = "10.1." + std::to_string(id / 250) + "." + std::to_string(id % 250 + 1);
    p.name = "Player" + std::to_string(id);  // at most 10 characters
    p.portrait = static_cast<uint16_t>(id % 40);
    p.country = static_cast<uint16_t>(id % 200);
    p.score = static_cast<uint16_t>(1000 + id * 7 % 2000);
    p.victories = static_cast<uint16_t>(id % 300);
    p.defeats = static_cast<uint16_t>(id % 170);
    p.quits = static_cast<uint16_t>(id % 9);
    p.gemstones = static_cast<uint16_t>(id % 25);
    return p;
}

}  // namespace

Snapshot buildSnapshot(const SnapshotShape& shape) {
    Snapshot s;
    s.messages.push_back(encodeWelcome(kServerId));
    for (uint32_t id = 1; id <= shape.players; ++id) {
        s.messages.push_back(encodePlayerInfo(otherPlayer(id)));
        ++s.players;
    }
    uint32_t next = 1;
    for (size_t g = 0; g < shape.groups && next <= shape.players; ++g) {
        GroupCreatedMessage created;
        created.groupId = static_cast<uint32_t>(100 + g);
        created.creator = next++;
        created.capacity = g % 2 == 0 ? 4 : kCapacityNotSet;
        created.inviteOnly = g % 7 == 0;
        created.launched = g % 10 == 9;
        created.title = "Game " + std::to_string(g + 1) + " - 2 vs 2, no rush, fast speed";
        s.messages.push_back(encodeGroupCreated(created));
        ++s.groups;
        ++s.members;
        s.launched += created.launched ? 1 : 0;
        const size_t size = 1 + g % 3;
        for (size_t m = 1; m < size && next <= shape.players; ++m) {
            s.messages.push_back(encodeGroupJoin({next++, created.groupId}));
            ++s.members;
        }
    }
    s.messages.push_back(encodeStateEnd());
    for (const Bytes& m : s.messages) s.bytes += m.size();
    return s;
}

}  // namespace zrt::bench
