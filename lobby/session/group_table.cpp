// GroupTable: arrival-ordered groups of the hall, at most 500, with the own-group index kept
// pointing at the same entry when earlier entries are removed.
#include "lobby/session/group_table.h"

#include <algorithm>

namespace zrt {

bool GroupEntry::hasMember(uint32_t player) const {
    return std::find(members.begin(), members.end(), player) != members.end();
}

bool GroupEntry::hasRoom() const {
    return members.size() < capacity && members.size() < kMaxMembers;
}

bool GroupEntry::addMember(uint32_t player) {
    if (!hasRoom()) return false;
    members.push_back(player);
    return true;
}

bool GroupEntry::removeMember(uint32_t player) {
    auto it = std::find(members.begin(), members.end(), player);
    if (it == members.end()) return false;
    members.erase(it);
    return true;
}

bool GroupTable::append(const GroupEntry& group) {
    if (entries_.size() >= kCapacity) return false;
    entries_.push_back(group);
    return true;
}

int GroupTable::indexOf(uint32_t id) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].id == id) return static_cast<int>(i);
    }
    return -1;
}

void GroupTable::removeAt(size_t index) {
    if (index >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    const int removed = static_cast<int>(index);
    if (ownIndex_ == removed) {
        ownIndex_ = -1;
    } else if (ownIndex_ > removed) {
        --ownIndex_;
    }
}

void GroupTable::clear() {
    entries_.clear();
    ownIndex_ = -1;
}

}  // namespace zrt
