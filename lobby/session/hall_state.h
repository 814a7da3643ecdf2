// HallState: the HallTables behind one mutex, shared by the session receiver (which changes the
// tables) and the user-interface thread (which paints from them and opens dialogs).
//
// Consistency model: every access holds the lock for its whole duration, through a scoped
// accessor (read() / write()) or one of the copying helpers below, which take the lock, copy
// what a paint or a dialog needs, and release it. The UI thread therefore always sees the
// tables between two whole messages, never half-way through one. The receiver changes the
// tables under write() and calls the SessionUi only after releasing the lock, so a SessionUi
// implementation may read the HallState without deadlock. Hold an accessor briefly: the
// receiver waits while it is held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "lobby/session/hall_tables.h"

namespace zrt {

// A member cell of a painted group row.
struct MemberView {
    uint32_t id = 0;
    bool known = false;  // found in the PlayerTable; unknown members keep their place
    std::string name;
    uint16_t portrait = 0;
    uint16_t score = 0;
    uint16_t gemstones = 0;
};

// One row of the groups pane, in row order (open groups first, then launched ones).
struct GroupRow {
    size_t tablePosition = 0;  // the group number shown is tablePosition + 1
    GroupEntry group;
    bool own = false;
    bool joinable = false;
    std::vector<MemberView> members;
};

// What the tool row and the title need of the own group.
struct OwnGroupStatus {
    bool inGroup = false;
    bool host = false;
    bool launchable = false;
    size_t memberCount = 0;
    size_t tablePosition = 0;  // valid when inGroup
};

// The own group as the group dialog shows it when it opens.
struct GroupDialogData {
    size_t tablePosition = 0;
    GroupEntry group;
};

class HallState {
  public:
    // Scoped access: holds the lock for its lifetime.
    template <class H>
    class Access {
      public:
        Access(std::mutex& m, H& hall) : lock_(m), hall_(&hall) {}
        H* operator->() const { return hall_; }
        H& operator*() const { return *hall_; }

      private:
        std::unique_lock<std::mutex> lock_;
        H* hall_;
    };

    Access<const HallTables> read() const { return Access<const HallTables>(mutex_, hall_); }
    Access<HallTables> write() { return Access<HallTables>(mutex_, hall_); }

    // Entering a hall: empties every table and the own group, keeps `ownProfile` for the
    // welcome (its id is filled in then).
    void enter(const PlayerEntry& ownProfile);

    // Copies for the user-interface thread.
    std::optional<PlayerEntry> player(uint32_t id) const;
    // The title's and the top panel's player count: the PlayerTable count, at least 1.
    size_t playerCount() const;
    std::vector<GroupRow> groupRows() const;
    OwnGroupStatus ownGroupStatus() const;
    std::optional<GroupEntry> groupAt(size_t tablePosition) const;
    // The lobby window's title: "ZRTH Lobby [ %d / %d ]" with the player count and the own
    // group's member count (0 when in no group).
    std::string lobbyTitle() const;
    bool isInGameName(const std::string& name) const;

    // Written by the user-interface thread.
    bool setPing(uint32_t playerId, float seconds);
    bool block(uint32_t playerId);
    bool unblock(uint32_t playerId);
    bool isBlocked(uint32_t playerId) const;

    // The group dialog opens: the session starts mirroring its members. nullopt (and nothing
    // mirrored) when the own player is in no group.
    std::optional<GroupDialogData> openGroupDialog();
    // The user closed the dialog (or launched from it): the session forgets it.
    void closeGroupDialog();

  private:
    mutable std::mutex mutex_;
    HallTables hall_;
};

}  // namespace zrt
