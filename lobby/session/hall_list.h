// The halls as the hall screen lists them: HallEntry (display text, kind, session instance id),
// the list of one enumeration pass (at most ten), the kind descriptions, the gemstone rule and
// the ordering of the shown list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lobby/session/hall_identity.h"
#include "playnet/guid.h"
#include "playnet/session_desc.h"

namespace zrt {

// The kinds that have a description of their own; every other value is a hall for anyone.
inline constexpr uint32_t kHallAmateur = 0;
inline constexpr uint32_t kHallIntermediate = 1;
inline constexpr uint32_t kHallExpert = 2;
inline constexpr uint32_t kHallGemstones = 10;

// Longest display text (characters); longer session names are cut.
inline constexpr size_t kHallTextMax = 255;

struct HallEntry {
    std::string text;   // "%s  ( %d / %d )": name, players without the server player, maximum
    uint32_t kind = 0;  // the session's first user field
    playnet::Guid instance;
};

// The halls of one enumeration pass: at most ten, in the order they were reported.
class HallList {
  public:
    static constexpr size_t kMaxHalls = 10;

    // Appends a hall; false (and no change) when ten are held already.
    bool add(const HallEntry& hall);
    void clear() { entries_.clear(); }
    size_t count() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<HallEntry>& entries() const { return entries_; }
    const HallEntry& operator[](size_t i) const { return entries_[i]; }

  private:
    std::vector<HallEntry> entries_;
};

// The hall as listed, from its session description. The server player is not counted; a
// session that does not hold it yet shows 0, never a negative count.
HallEntry MakeHallEntry(const playnet::SessionDesc& session);

// The tool-tip text of a hall kind.
const char* HallKindText(uint32_t kind);

// Gemstone halls (kind 10 and up) score groups in gemstones.
inline bool IsGemstoneHall(uint32_t kind) {
    return kind >= kHallGemstones;
}

// The display order: highest kind first; halls of equal kind keep their order.
std::vector<HallEntry> OrderHallsByKind(const std::vector<HallEntry>& halls);

// True when both lists hold the same number of halls and every hall of `found` is among
// `shown` (by instance id), whatever the order.
bool SameHalls(const std::vector<HallEntry>& found, const std::vector<HallEntry>& shown);

}  // namespace zrt
