// The backgrounds and the groups pane pictures (see screens.h). Positions here follow the
// places where the screens draw their lists, titles, buttons and text over these pictures.
#include "tools/lobbyres/screens.h"

#include <QPainter>
#include <QPainterPath>

#include "tools/lobbyres/look.h"

namespace lobbyres {
QImage setupBackground() {
    QImage img = stoneImage(QSize(702, 552), kStone, 46, 11);
    QPainter p(&img);
    drawVignette(p, img.size());
    drawPlaque(p, QRect(136, 18, 430, 92), QStringLiteral("ZERATHON"), 62);
    drawEngravedText(p, QRect(136, 110, 430, 16), Qt::AlignCenter, QStringLiteral("Online Lobby"),
                     lobbyFont(14, true), QColor(255, 255, 120), QColor(230, 200, 60), 2.0);

    // List panel: a dark band for the title (y 140) above the light list area (120,160)-(580,390).
    drawMetalFrame(p, QRect(106, 128, 490, 276), 6);
    drawRecess(p, QRect(112, 134, 478, 26));
    drawParchmentPanel(p, QRect(112, 160, 478, 238), 12);

    drawOrnament(p, 351, 436, 200);

    // Ledge for the button row at y 478 (buttons up to 40 high).
    drawRecess(p, QRect(48, 470, 606, 56));
    drawMetalFrame(p, QRect(44, 466, 614, 64), 4);
    return img;
}

QImage ladderBackground() {
    const int w = 666, h = 500;  // the OK button (h - 60 to h - 35) stays clear of the last slot
    QImage img = stoneImage(QSize(w, h), kStone, 40, 21);
    QPainter p(&img);
    drawVignette(p, img.size());
    drawPlaque(p, QRect(163, 12, 340, 66), QStringLiteral("Zerathon Ladder"), 38);

    // Column heads over the slots; the name column starts after two digits and a gap.
    const QFont head = lobbyFont(12, true);
    const QColor hi(255, 240, 140), lo(230, 190, 70);
    drawEngravedText(p, QRect(45, 94, 60, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Place"), head, hi, lo, 2.0);
    drawEngravedText(p, QRect(89, 94, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Player"), head, hi, lo, 2.0);
    drawEngravedText(p, QRect(184, 94, 80, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Score"), head, hi, lo, 2.0);
    drawEngravedText(p, QRect(264, 94, 300, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Country and record"), head, hi, lo, 2.0);

    const int tops[5] = {115, 179, 244, 308, 373};
    for (int i = 0; i < 5; ++i) {
        drawMetalFrame(p, QRect(41, tops[i] - 4, 584, 46), 4);
        drawParchmentPanel(p, QRect(45, tops[i], 576, 38), 30 + uint32_t(i));
    }
    // The scroll bar's slot at (w - 35, 115)-(w - 20, 411) and the OK button's at the bottom.
    drawRecess(p, QRect(w - 38, 112, 21, 302));
    drawRecess(p, QRect(w / 2 - 46, h - 66, 92, 37));
    drawMetalFrame(p, QRect(w / 2 - 50, h - 70, 100, 45), 4);
    return img;
}

QImage lobbyHeader() {
    QImage img = stoneImage(QSize(590, 175), kStone, 35, 41);
    QPainter p(&img);
    drawPlaque(p, QRect(8, 8, 574, 78), QStringLiteral("Zerathon Lobby"), 40);
    drawEngravedText(p, QRect(8, 92, 574, 26), Qt::AlignCenter,
                     QStringLiteral("Groups of this Hall"), lobbyFont(18, true),
                     QColor(255, 255, 140), QColor(240, 210, 40), 2.5);
    drawOrnament(p, 295, 122, 250);
    // Strip behind the tool row (y 135, buttons up to 26 high, x 70 to 429).
    drawRecess(p, QRect(64, 131, 372, 34));
    drawMetalFrame(p, QRect(60, 127, 380, 42), 4);
    return img;
}

QImage lobbyRowStrip() {
    QImage img = stoneImage(QSize(590, 110), kStone, 55, 51);
    QPainter p(&img);
    // Light panel: the group line at y 0, member cells at y 25-73, names and scores to y 103.
    drawParchmentPanel(p, QRect(64, 0, 522, 106), 52);
    for (int k = 0; k < 7; ++k) {
        const QRect cell(69 + 50 * k, 24, 47, 50);
        p.fillRect(cell.adjusted(1, 1, -1, -1), QColor(208, 196, 166));
        p.setPen(QColor(150, 136, 104));
        p.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    // A small shield marks each row in the stone margin.
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath shield = shieldPath(QRectF(14, 30, 36, 48));
    p.setPen(QPen(kOutline, 2));
    p.setBrush(QColor(40, 60, 130));
    p.drawPath(shield);
    p.setPen(QPen(kGold, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shield);
    p.drawLine(32, 36, 32, 70);
    p.drawLine(20, 48, 44, 48);
    return img;
}

}  // namespace lobbyres
