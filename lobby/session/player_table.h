// PlayerEntry, one per player present in the hall, and PlayerTable, the hall's players in
// arrival order (entry 0 is the own player). A full table refuses a new entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/session/message_types.h"

namespace zrt {

struct PlayerEntry {
    uint32_t id = 0;
    std::string address{};  // at most kAddressChars
    float ping = -1.0f;     // seconds of the last ping; -1 until measured or after a failed one
    std::string name{};     // at most kNameChars
    uint16_t portrait = 0;
    uint16_t country = 0;
    uint16_t score = 0;
    uint16_t victories = 0;
    uint16_t defeats = 0;
    uint16_t quits = 0;
    uint16_t gemstones = 0;

    bool operator==(const PlayerEntry&) const = default;
};

// The player-list line of a player: "%s\t%d" (name, score).
std::string playerListLine(const PlayerEntry& player);

class PlayerTable {
  public:
    static constexpr size_t kCapacity = 1000;

    // Appends at the end; false (nothing stored) when the table already holds kCapacity.
    bool append(const PlayerEntry& player);
    // Position of the player (linear search by id), or -1.
    int indexOf(uint32_t id) const;
    bool contains(uint32_t id) const { return indexOf(id) >= 0; }
    const PlayerEntry* find(uint32_t id) const;
    PlayerEntry* find(uint32_t id);
    // Removes the player; later entries move down by one. False when absent.
    bool remove(uint32_t id);
    void clear() { entries_.clear(); }

    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const PlayerEntry& operator[](size_t i) const { return entries_[i]; }
    const std::vector<PlayerEntry>& entries() const { return entries_; }

  private:
    std::vector<PlayerEntry> entries_;
};

}  // namespace zrt
