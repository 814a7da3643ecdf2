// Geometry of the groups pane (LobbyView): the tool row, the group rows and their cells, and
// the hit-test that both the mouse and the clicks go through.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lobby/session/hall_state.h"

namespace zrt {

inline constexpr int kLobbyViewWidth = 590;    // the pane
inline constexpr int kLobbyScrollWidth = 500;  // the scrolled document
inline constexpr int kToolRowY = 135;
inline constexpr int kCreateX = 70, kLaunchX = 154, kMyGroupX = 244, kAboutX = 359;
inline constexpr int kFirstRowY = 175;
inline constexpr int kRowHeight = 110;
inline constexpr int kRowButtonX = 433, kRowButtonDy = 32;
inline constexpr int kCellX = 70, kCellPitch = 50, kCellWidth = 45;
inline constexpr int kCellTopDy = 25, kCellBottomDy = 73;

// The scroll height for a number of groups: max(550, 110 x groups + 200).
int LobbyScrollHeight(size_t groupCount);
// Top of row r.
inline int RowTop(size_t row) {
    return kFirstRowY + kRowHeight * static_cast<int>(row);
}

enum class LobbyHotSpot {
    None = -1,
    MemberCell = 0,
    Create,
    Join,
    QuitGroup,
    Launch,
    MyGroup,
    About
};

struct LobbyHit {
    LobbyHotSpot spot = LobbyHotSpot::None;
    QRect rect;                // the hot area, in document coordinates
    size_t row = 0;            // Join, QuitGroup, MemberCell: the row
    size_t tablePosition = 0;  // Join: the group's table position
    uint32_t playerId = 0;     // MemberCell: the member

    bool operator==(const LobbyHit&) const = default;
};

// The sizes of the normal button pictures, read once.
struct LobbyButtonSizes {
    QSize create, join, quit, launch, myGroup, about;
};

// The first rule that holds at `doc` (document coordinates): Create, Launch (only while the
// user may launch), My Group (only while in a group), About; then the row under the point:
// its button (Quit for the own group, Join for a joinable one), else a member cell of a known
// member - the 5 pixels between two cells belong to neither.
LobbyHit LobbyHitTest(QPoint doc, const std::vector<GroupRow>& rows, const OwnGroupStatus& own,
                      const LobbyButtonSizes& sizes);

}  // namespace zrt
