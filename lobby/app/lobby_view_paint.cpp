// Painting of the groups pane.
#include "lobby/app/lobby_view_paint.h"

#include <QFontMetrics>
#include <QPainter>

#include "lobby/ui/draw_bitmap.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"

namespace zrt {
namespace {

const QColor kGroupLineBlue(0, 0, 255);

void PaintBackground(QPainter& p, int scrollHeight) {
    const LobbyPictures& pics = Pictures();
    DrawBitmap(p, pics.lobby1.image(), 0, 0);
    const QImage& strip = pics.lobby2.image();
    if (strip.isNull() || strip.height() <= 0) return;
    // Strips of lobby2 under lobby1 down to the scroll height, the last one cut there.
    for (int y = pics.lobby1.height(); y < scrollHeight; y += strip.height()) {
        const int h = std::min(strip.height(), scrollHeight - y);
        DrawBitmapPart(p, strip, 0, y, strip.width(), h, 0, 0);
    }
}

void PaintToolRow(QPainter& p, const LobbyPaintState& s) {
    const LobbyPictures& pics = Pictures();
    const LobbyHotSpot hot = s.hot.spot;
    auto pick = [&](LobbyHotSpot spot, const CachedBitmap& normal,
                    const CachedBitmap& hover) -> const QImage& {
        return hot == spot ? hover.image() : normal.image();
    };
    DrawBitmap(p, pick(LobbyHotSpot::Create, pics.bCreate, pics.bCreate2), kCreateX, kToolRowY);
    DrawBitmap(p,
               s.own.launchable ? pick(LobbyHotSpot::Launch, pics.bLaunch, pics.bLaunch2)
                                : pics.bLaunch3.image(),
               kLaunchX, kToolRowY);
    DrawBitmap(p,
               s.own.inGroup ? pick(LobbyHotSpot::MyGroup, pics.bMyGrp, pics.bMyGrp2)
                             : pics.bMyGrp3.image(),
               kMyGroupX, kToolRowY);
    DrawBitmap(p, pick(LobbyHotSpot::About, pics.bAbout, pics.bAbout2), kAboutX, kToolRowY);
}

void PaintRow(QPainter& p, size_t r, const GroupRow& row, const LobbyPaintState& s,
              const QFont& lineFont, const QFont& cellFont) {
    const LobbyPictures& pics = Pictures();
    const int t = RowTop(r);
    const bool hotRow = s.hot.row == r;

    if (row.own) {
        const bool hover = hotRow && s.hot.spot == LobbyHotSpot::QuitGroup;
        DrawBitmap(p, (hover ? pics.bQuit2 : pics.bQuit).image(), kRowButtonX, t + kRowButtonDy);
    } else if (row.joinable && !row.group.launched) {
        const bool hover = hotRow && s.hot.spot == LobbyHotSpot::Join;
        DrawBitmap(p, (hover ? pics.bJoin2 : pics.bJoin).image(), kRowButtonX, t + kRowButtonDy);
    }

    p.setFont(lineFont);
    p.setPen(kGroupLineBlue);
    const QFontMetrics lineMetrics(lineFont);
    p.drawText(QRect(70, t, kLobbyScrollWidth, lineMetrics.height()),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, GroupLineText(row));

    const GroupEntry& g = row.group;
    if (!g.launched && g.capacity < kCapacityNotSet) {
        const QImage& box = (g.inviteOnly ? pics.boxInvit : pics.boxWait).image();
        for (size_t place = row.members.size(); place < g.capacity; ++place)
            DrawBitmap(p, box, kCellX + kCellPitch * static_cast<int>(place), t + kCellTopDy);
    }

    p.setFont(cellFont);
    p.setPen(Qt::black);
    for (size_t i = 0; i < row.members.size(); ++i) {
        const MemberView& m = row.members[i];
        if (!m.known) continue;  // keeps its place
        const int x = kCellX + kCellPitch * static_cast<int>(i);
        p.drawText(QRect(QPoint(x, t + 75), QPoint(x + kCellWidth - 1, t + 88)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromLatin1(m.name));
        if (m.portrait < pics.portraits.size()) {
            const QImage& face = pics.portraits[m.portrait].image();
            if (!face.isNull())
                DrawBitmap(p, face, x + (kCellWidth - face.width()) / 2,
                           t + kCellBottomDy - face.height());
        }
        p.drawText(QRect(QPoint(x, t + 89), QPoint(x + kCellWidth - 1, t + 102)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   MemberScoreText(m, s.gemstoneHall));
    }
}

}  // namespace

QString GroupLineText(const GroupRow& row) {
    const int number = static_cast<int>(row.tablePosition + 1);
    if (row.group.launched)
        return QString::asprintf("Group #%d  __________ Launched __________", number);
    // Titles are single-byte text; "Group #%d  [ %s ]" with the title put in as Latin-1.
    return QString::asprintf("Group #%d  [ ", number) + QString::fromLatin1(row.group.title) +
           QStringLiteral(" ]");
}

QString MemberScoreText(const MemberView& member, bool gemstoneHall) {
    return gemstoneHall ? QString::asprintf("%d(%d)", member.score, member.gemstones)
                        : QString::asprintf("%d", member.score);
}

void PaintLobbyView(QPainter& p, const QRect& area, const LobbyPaintState& state) {
    p.save();
    p.setClipRect(area);
    PaintBackground(p, state.scrollHeight);
    p.setBrush(Qt::black);
    PaintToolRow(p, state);
    const QFont lineFont = ArialFont(11);
    const QFont cellFont = ArialFont(7);
    for (size_t r = 0; r < state.rows.size(); ++r) {
        const int t = RowTop(r);
        if (t > area.bottom() || t + kRowHeight <= area.top()) continue;
        PaintRow(p, r, state.rows[r], state, lineFont, cellFont);
    }
    p.restore();
}

}  // namespace zrt
