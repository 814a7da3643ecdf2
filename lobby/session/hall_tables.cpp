// HallTables: the group rules of a stay in a hall: own group, joinable and launchable.
#include "lobby/session/hall_tables.h"

#include <algorithm>

namespace zrt {

bool GroupDialogMirror::hasMember(uint32_t player) const {
    return std::find(members.begin(), members.end(), player) != members.end();
}

const GroupEntry* HallTables::ownGroup() const {
    if (ownGroupId == 0) return nullptr;
    const int index = groups.ownIndex();
    if (index < 0 || static_cast<size_t>(index) >= groups.size()) return nullptr;
    const GroupEntry& entry = groups[static_cast<size_t>(index)];
    return entry.id == ownGroupId ? &entry : nullptr;
}

bool HallTables::isJoinable(size_t index) const {
    if (index >= groups.size()) return false;
    const GroupEntry& g = groups[index];
    if (&g == ownGroup()) return false;
    return g.hasRoom() && !g.inviteOnly && !g.launched;
}

bool HallTables::isLaunchable() const {
    const GroupEntry* g = ownGroup();
    if (g == nullptr || !host) return false;
    const size_t count = g->members.size();
    if (g->capacity < kCapacityNotSet) return count == g->capacity;
    if (g->capacity == kCapacityNotSet) return count > 1 || g->savedGame;
    return false;
}

size_t HallTables::ownGroupMemberCount() const {
    const GroupEntry* g = ownGroup();
    return g ? g->members.size() : 0;
}

void HallTables::clear() {
    players.clear();
    groups.clear();
    blocked.clear();
    inGameNames.clear();
    ownGroupId = 0;
    host = false;
    snapshot = false;
    groupDialog = GroupDialogMirror{};
}

}  // namespace zrt
