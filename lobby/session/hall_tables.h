// HallTables: every table of one stay in a hall (players, groups, blocked ids, highlighted names)
// and the own player's place in them, with the group rules that read them.
//
// Threads: the session receiver writes the tables; the user-interface thread writes only the
// BlockList, the pings and the group-dialog mirror. Both go through HallState's one mutex
// (hall_state.h); nothing here locks by itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lobby/session/block_list.h"
#include "lobby/session/group_table.h"
#include "lobby/session/name_set.h"
#include "lobby/session/player_table.h"

namespace zrt {

// The lobby names of players who sit in a launched group; the player list draws them
// highlighted. Adding does not test for a name already present; removing takes the first.
using InGameNames = NameSet;

// The open group dialog as the session sees it: its own copy of the member list, which the
// receiver keeps current while the dialog is open. The chat whisper copy into the dialog
// depends on it.
struct GroupDialogMirror {
    bool open = false;
    std::vector<uint32_t> members;  // at most kMaxMembers

    bool hasMember(uint32_t player) const;
};

struct HallTables {
    PlayerTable players;
    GroupTable groups;  // with the own-group index
    BlockList blocked;
    InGameNames inGameNames;
    uint32_t ownGroupId = 0;  // 0 = in no group
    bool host = false;        // the own player is members[0] of the own group
    bool snapshot = false;    // from MSG_WELCOME until MSG_STATE_END
    GroupDialogMirror groupDialog;
    PlayerEntry ownProfile;  // address, name and figures announced at the welcome

    // The own group: the own group id is not 0 and the own-group index points at an entry
    // with that id. nullptr otherwise.
    const GroupEntry* ownGroup() const;
    // Joinable: not the own group, room below the capacity and below seven, not invitation
    // only, not launched.
    bool isJoinable(size_t index) const;
    // Launchable by the own player: host of the own group, and either the capacity is set and
    // reached, or it is not set and (more than one member or a saved game).
    bool isLaunchable() const;
    // Member count of the own group, 0 when in no group.
    size_t ownGroupMemberCount() const;

    // Empties everything for a new stay in a hall; the own profile is kept.
    void clear();
};

}  // namespace zrt
