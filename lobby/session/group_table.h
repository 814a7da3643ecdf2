// GroupEntry, one per group of the hall, and GroupTable, the groups in arrival order with the
// index of the own group. A full table refuses a new group; a full group refuses a member.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zrt {

inline constexpr size_t kTitleChars = 255;  // title field of 256 with its NUL
inline constexpr size_t kMaxMembers = 7;
inline constexpr uint32_t kCapacityNotSet = 255;  // the creator did not set the player count

struct GroupEntry {
    uint32_t id = 0;
    std::string title{};  // at most kTitleChars
    bool inviteOnly = false;
    bool savedGame = false;               // the group continues a saved game
    uint32_t capacity = kCapacityNotSet;  // 2..7, or kCapacityNotSet
    std::vector<uint32_t> members{};  // joining order, at most kMaxMembers; members[0] is the host
    bool launched = false;

    bool operator==(const GroupEntry&) const = default;

    bool hasMember(uint32_t player) const;
    // True while another member fits: below the capacity and below seven.
    bool hasRoom() const;
    // Appends a member; false when the group has no room.
    bool addMember(uint32_t player);
    // Removes the player; later members move down. False when he is not a member.
    bool removeMember(uint32_t player);
};

class GroupTable {
  public:
    static constexpr size_t kCapacity = 500;

    // Appends a group; false (nothing stored) when the table already holds kCapacity.
    bool append(const GroupEntry& group);
    // Position of the first group with this id, or -1.
    int indexOf(uint32_t id) const;
    // Removes the entry at `index`; later entries move down and the own-group index follows
    // (it becomes -1 when the own group itself goes).
    void removeAt(size_t index);
    void clear();

    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    GroupEntry& operator[](size_t i) { return entries_[i]; }
    const GroupEntry& operator[](size_t i) const { return entries_[i]; }
    const std::vector<GroupEntry>& entries() const { return entries_; }

    int ownIndex() const { return ownIndex_; }
    void setOwnIndex(int index) { ownIndex_ = index; }

  private:
    std::vector<GroupEntry> entries_;
    int ownIndex_ = -1;  // -1 when the own player is in no group
};

}  // namespace zrt
