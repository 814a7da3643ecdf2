// BlockList: the players whose chat lines and invitations are ignored, in the order added,
// at most 1024 and without duplicates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zrt {

class BlockList {
  public:
    static constexpr size_t kCapacity = 1024;

    // Adds the id; an id already listed is not added again. False when the id is not listed
    // afterwards, that is when the list is full.
    bool add(uint32_t id);
    // Removes the id; later ids move down. False when absent.
    bool remove(uint32_t id);
    bool contains(uint32_t id) const;
    void clear() { ids_.clear(); }

    size_t size() const { return ids_.size(); }
    const std::vector<uint32_t>& ids() const { return ids_; }

  private:
    std::vector<uint32_t> ids_;
};

}  // namespace zrt
