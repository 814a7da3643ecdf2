// HallGroups: the server's record of one hall's groups, in creation order, with the rules the
// clients apply to theirs: a player sits in at most one group, a group holds at most seven
// members and no more than its capacity, a launched group takes nobody in, and a group whose
// last member goes is removed. The hall's snapshot is built from this record, so it has to
// stay what every client's table becomes from the relayed messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "lobby/session/group_table.h"

namespace zrtserver {

class HallGroups {
  public:
    static constexpr size_t kCapacity = zrt::GroupTable::kCapacity;  // 500

    // The group with this id, or nullptr.
    const zrt::GroupEntry* find(uint32_t groupId) const;
    // The group the player is a member of, or nullptr.
    const zrt::GroupEntry* groupOf(uint32_t player) const;

    // Appends a new group whose only member is its creator (who must be in no group). False
    // when the table is full or the id is in use.
    bool create(const zrt::GroupEntry& group);

    enum class JoinRefusal { None, NoSuchGroup, AlreadyMember, Launched, Full };
    // Why the player cannot join the group, or None when he can.
    JoinRefusal canJoin(uint32_t player, uint32_t groupId) const;
    // Appends the player to the group's members (after canJoin said None and the player left
    // any other group).
    void join(uint32_t player, uint32_t groupId);

    struct Removal {
        uint32_t groupId = 0;
        bool emptied = false;  // the group had no member left and is gone
    };
    // Takes the player out of his group; later members move down (members[0] stays the
    // host). Nothing when he is in no group.
    std::optional<Removal> removeMember(uint32_t player);

    // Marks the group launched; false when there is no such group.
    bool markLaunched(uint32_t groupId);

    const std::vector<zrt::GroupEntry>& entries() const { return groups_; }
    size_t size() const { return groups_.size(); }

  private:
    zrt::GroupEntry* findMutable(uint32_t groupId);

    std::vector<zrt::GroupEntry> groups_;
};

const char* joinRefusalText(HallGroups::JoinRefusal refusal);

}  // namespace zrtserver
