// The groups pane's hit-test.
#include "lobby/app/lobby_view_hit.h"

#include <algorithm>

namespace zrt {

int LobbyScrollHeight(size_t groupCount) {
    return std::max(550, kRowHeight * static_cast<int>(groupCount) + 200);
}

LobbyHit LobbyHitTest(QPoint doc, const std::vector<GroupRow>& rows, const OwnGroupStatus& own,
                      const LobbyButtonSizes& sizes) {
    LobbyHit hit;
    auto tool = [&](LobbyHotSpot spot, int x, QSize size) {
        const QRect r(QPoint(x, kToolRowY), size);
        if (!r.contains(doc)) return false;
        hit.spot = spot;
        hit.rect = r;
        return true;
    };
    if (tool(LobbyHotSpot::Create, kCreateX, sizes.create)) return hit;
    if (own.launchable && tool(LobbyHotSpot::Launch, kLaunchX, sizes.launch)) return hit;
    if (own.inGroup && tool(LobbyHotSpot::MyGroup, kMyGroupX, sizes.myGroup)) return hit;
    if (tool(LobbyHotSpot::About, kAboutX, sizes.about)) return hit;

    if (doc.y() < kFirstRowY) return {};
    const size_t r = static_cast<size_t>((doc.y() - kFirstRowY) / kRowHeight);
    if (r >= rows.size()) return {};
    const GroupRow& row = rows[r];
    const int t = RowTop(r);

    const QPoint buttonAt(kRowButtonX, t + kRowButtonDy);
    if (row.own || (row.joinable && !row.group.launched)) {
        const QRect button(buttonAt, row.own ? sizes.quit : sizes.join);
        if (button.contains(doc)) {
            hit.spot = row.own ? LobbyHotSpot::QuitGroup : LobbyHotSpot::Join;
            hit.rect = button;
            hit.row = r;
            hit.tablePosition = row.tablePosition;
            return hit;
        }
    }

    const int x = doc.x();
    if (x < kCellX + 1 || doc.y() < t + kCellTopDy || doc.y() > t + kCellBottomDy) return {};
    const int k = (x - kCellX) / kCellPitch;
    if ((x - kCellX) - kCellPitch * k > kCellWidth) return {};  // the gap between two cells
    if (static_cast<size_t>(k) >= row.members.size()) return {};
    const MemberView& member = row.members[static_cast<size_t>(k)];
    if (!member.known) return {};
    hit.spot = LobbyHotSpot::MemberCell;
    hit.rect = QRect(QPoint(kCellX + kCellPitch * k, t + kCellTopDy),
                     QPoint(kCellX + kCellPitch * k + kCellWidth, t + kCellBottomDy));
    hit.row = r;
    hit.tablePosition = row.tablePosition;
    hit.playerId = member.id;
    return hit;
}

}  // namespace zrt
