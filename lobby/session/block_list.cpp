// BlockList: blocked player ids, duplicates refused, a full list refuses new ids.
#include "lobby/session/block_list.h"

#include <algorithm>

namespace zrt {

bool BlockList::add(uint32_t id) {
    if (contains(id)) return true;
    if (ids_.size() >= kCapacity) return false;
    ids_.push_back(id);
    return true;
}

bool BlockList::remove(uint32_t id) {
    auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) return false;
    ids_.erase(it);
    return true;
}

bool BlockList::contains(uint32_t id) const {
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

}  // namespace zrt
