// PlayerTable: arrival-ordered players of the hall with a hard limit of 1000 entries.
#include "lobby/session/player_table.h"

#include <algorithm>

namespace zrt {

std::string playerListLine(const PlayerEntry& player) {
    return player.name + "\t" + std::to_string(player.score);
}

bool PlayerTable::append(const PlayerEntry& player) {
    if (entries_.size() >= kCapacity) return false;
    entries_.push_back(player);
    return true;
}

int PlayerTable::indexOf(uint32_t id) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].id == id) return static_cast<int>(i);
    }
    return -1;
}

const PlayerEntry* PlayerTable::find(uint32_t id) const {
    int i = indexOf(id);
    return i < 0 ? nullptr : &entries_[static_cast<size_t>(i)];
}

PlayerEntry* PlayerTable::find(uint32_t id) {
    int i = indexOf(id);
    return i < 0 ? nullptr : &entries_[static_cast<size_t>(i)];
}

bool PlayerTable::remove(uint32_t id) {
    int i = indexOf(id);
    if (i < 0) return false;
    entries_.erase(entries_.begin() + i);
    return true;
}

}  // namespace zrt
