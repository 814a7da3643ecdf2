// Painting of the groups pane (LobbyView): background strips, the tool row, and one row per
// group with its button, its line, its empty places and its member cells.
#pragma once

#include <QRect>
#include <QString>
#include <vector>

#include "lobby/app/lobby_view_hit.h"

class QPainter;

namespace zrt {

// What one paint needs, copied from the hall beforehand.
struct LobbyPaintState {
    int scrollHeight = 550;
    std::vector<GroupRow> rows;
    OwnGroupStatus own;
    bool gemstoneHall = false;
    LobbyHit hot;  // drawn in its hover picture
};

// The group line: "Group #%d  [ %s ]", or the launched form.
QString GroupLineText(const GroupRow& row);
// A member's score line: "%d(%d)" with the gemstones in a gemstone hall, else "%d".
QString MemberScoreText(const MemberView& member, bool gemstoneHall);

// Paints the document area `area` (document coordinates; the painter is translated so that
// document coordinates apply).
void PaintLobbyView(QPainter& p, const QRect& area, const LobbyPaintState& state);

}  // namespace zrt
