// Digits, titles and empty-place boxes (see marks.h).
#include "tools/lobbyres/marks.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "tools/lobbyres/look.h"

namespace lobbyres {
namespace {

constexpr int kTitleHeight = 20;
constexpr int kTitlePixels = 17;

// The dark slot shared by both boxes, with a border in `edge`.
QImage slot(QColor edge, QColor fill) {
    QImage img(45, 48, QImage::Format_RGB32);
    QPainter p(&img);
    drawRecess(p, img.rect());
    p.fillRect(QRect(2, 2, 41, 44), fill);
    p.setPen(QPen(edge, 1, Qt::DashLine));
    p.drawRect(3, 3, 38, 41);
    return img;
}

void caption(QPainter& p, const QString& text, QColor c) {
    p.setFont(lobbyFont(10, true));
    p.setPen(c);
    p.drawText(QRect(0, 34, 45, 12), Qt::AlignCenter, text);
}

}  // namespace

QImage digitImage(int digit) {
    if (digit < 0 || digit > 9) return {};
    return keyedText(QSize(16, 24), QString::number(digit), 22, false, 2);
}

QImage titleImage(const QString& text, bool flat) {
    const int width = QFontMetrics(lobbyFont(kTitlePixels, true)).horizontalAdvance(text) + 12;
    return keyedText(QSize(std::min(width, 460), kTitleHeight), text, kTitlePixels, flat);
}

QImage emptyPlaceImage(bool inviteOnly) {
    QImage img = slot(inviteOnly ? QColor(170, 60, 40) : kGoldDark,
                      inviteOnly ? QColor(48, 26, 22) : QColor(34, 32, 30));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (inviteOnly) {
        // Padlock: steel shackle over a gold body with a keyhole.
        p.setPen(QPen(QColor(180, 180, 190), 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(15, 7, 15, 16), 0, 180 * 16);
        p.drawLine(QPointF(15, 15), QPointF(15, 18));
        p.drawLine(QPointF(30, 15), QPointF(30, 18));
        p.setPen(QPen(kOutline, 1));
        p.setBrush(kGold);
        p.drawRoundedRect(QRectF(12, 17, 21, 15), 2, 2);
        p.setBrush(kOutline);
        p.drawEllipse(QPointF(22.5, 23), 2, 2);
        p.drawRect(QRectF(21.8, 24, 1.4, 5));
        caption(p, QStringLiteral("Invite"), QColor(240, 120, 90));
    } else {
        // Hourglass: an open place waiting for a player.
        p.setPen(QPen(kGoldLight, 1.5));
        p.drawLine(QPointF(14, 7), QPointF(31, 7));
        p.drawLine(QPointF(14, 31), QPointF(31, 31));
        QPainterPath glass;
        glass.moveTo(16, 8);
        glass.lineTo(29, 8);
        glass.lineTo(22.5, 19);
        glass.lineTo(29, 30);
        glass.lineTo(16, 30);
        glass.lineTo(22.5, 19);
        glass.closeSubpath();
        p.setPen(QPen(kGold, 1.2));
        p.setBrush(QColor(70, 60, 45));
        p.drawPath(glass);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 200, 110));
        p.drawPolygon(QPolygonF(QList<QPointF>{{18.5, 10}, {26.5, 10}, {22.5, 16}}));
        p.drawPolygon(QPolygonF(QList<QPointF>{{22.5, 25}, {27, 29.5}, {18, 29.5}}));
        caption(p, QStringLiteral("Open"), kGold);
    }
    return img;
}

}  // namespace lobbyres
