// The group record of a hall and its rules.
#include "server/hall_groups.h"

#include <algorithm>

namespace zrtserver {

const zrt::GroupEntry* HallGroups::find(uint32_t groupId) const {
    for (const zrt::GroupEntry& g : groups_)
        if (g.id == groupId) return &g;
    return nullptr;
}

zrt::GroupEntry* HallGroups::findMutable(uint32_t groupId) {
    for (zrt::GroupEntry& g : groups_)
        if (g.id == groupId) return &g;
    return nullptr;
}

const zrt::GroupEntry* HallGroups::groupOf(uint32_t player) const {
    for (const zrt::GroupEntry& g : groups_)
        if (g.hasMember(player)) return &g;
    return nullptr;
}

bool HallGroups::create(const zrt::GroupEntry& group) {
    if (groups_.size() >= kCapacity || group.id == 0 || find(group.id)) return false;
    if (group.members.size() != 1 || groupOf(group.members[0])) return false;
    groups_.push_back(group);
    return true;
}

HallGroups::JoinRefusal HallGroups::canJoin(uint32_t player, uint32_t groupId) const {
    const zrt::GroupEntry* g = find(groupId);
    if (!g) return JoinRefusal::NoSuchGroup;
    if (g->hasMember(player)) return JoinRefusal::AlreadyMember;
    if (g->launched) return JoinRefusal::Launched;
    if (!g->hasRoom()) return JoinRefusal::Full;
    return JoinRefusal::None;
}

void HallGroups::join(uint32_t player, uint32_t groupId) {
    zrt::GroupEntry* g = findMutable(groupId);
    if (g && !g->launched) g->addMember(player);
}

std::optional<HallGroups::Removal> HallGroups::removeMember(uint32_t player) {
    for (auto it = groups_.begin(); it != groups_.end(); ++it) {
        if (!it->removeMember(player)) continue;
        Removal r{it->id, it->members.empty()};
        if (r.emptied) groups_.erase(it);
        return r;
    }
    return std::nullopt;
}

bool HallGroups::markLaunched(uint32_t groupId) {
    zrt::GroupEntry* g = findMutable(groupId);
    if (!g) return false;
    g->launched = true;
    return true;
}

const char* joinRefusalText(HallGroups::JoinRefusal refusal) {
    switch (refusal) {
        case HallGroups::JoinRefusal::None:
            return "none";
        case HallGroups::JoinRefusal::NoSuchGroup:
            return "no such group";
        case HallGroups::JoinRefusal::AlreadyMember:
            return "already a member";
        case HallGroups::JoinRefusal::Launched:
            return "the group has launched";
        case HallGroups::JoinRefusal::Full:
            return "the group is full";
    }
    return "?";
}

}  // namespace zrtserver
