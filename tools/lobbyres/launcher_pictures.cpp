// The launcher's pictures (see launcher_pictures.h). The background leaves its lower part,
// where the dialog's four buttons lie, as a dark recess; the labels are gold on the same dark
// ground that the buttons' faces take from them.
#include "tools/lobbyres/launcher_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "tools/lobbyres/look.h"

namespace lobbyres {
namespace {

const QColor kLabelGround(20, 14, 8);
const QColor kLabelGold(240, 196, 80);

QImage launcherBackground() {
    const QSize size(406, 561);
    QImage img = stoneImage(size, kStone, 38, 61);
    QPainter p(&img);
    drawVignette(p, size);
    drawPlaque(p, QRect(18, 22, 370, 96), QStringLiteral("ZERATHON"), 56);
    drawEngravedText(p, QRect(18, 126, 370, 22), Qt::AlignCenter,
                     QStringLiteral("Age of the Shattered Realms"), lobbyFont(17, true),
                     QColor(255, 255, 150), QColor(230, 190, 60), 2.0);
    drawOrnament(p, size.width() / 2, 176, 150);
    // The recess behind the buttons (from about y 232 down to 480 at the usual dialog font).
    drawRecess(p, QRect(4, 226, 398, 262));
    drawMetalFrame(p, QRect(0, 222, 406, 270), 4);
    drawOrnament(p, size.width() / 2, 520, 120);
    return img;
}

// A label of `size`: the text centred in gold on the dark ground. Two-colour labels are drawn
// without smoothing so that they hold exactly those two colours; others get a gradient, and
// `rules` adds gold rules fading out towards both ends.
QImage labelImage(QSize size, const QString& text, bool twoColours, bool rules) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(kLabelGround);
    QPainter p(&img);
    QFont font = lobbyFont(11, true);
    if (twoColours) font.setStyleStrategy(QFont::NoAntialias);
    p.setRenderHint(QPainter::Antialiasing, !twoColours);
    p.setRenderHint(QPainter::TextAntialiasing, !twoColours);
    p.setFont(font);
    const QRect all(QPoint(0, 0), size);
    if (twoColours) {
        p.setPen(kLabelGold);
        p.drawText(all, Qt::AlignCenter, text);
        return img;
    }
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, kGoldLight);
    g.setColorAt(1, kGoldDark);
    p.setPen(QPen(QBrush(g), 1));
    p.drawText(all, Qt::AlignCenter, text);
    if (rules) {
        const int textWidth = QFontMetrics(font).horizontalAdvance(text);
        const int gap = 10, y = size.height() / 2;
        const int leftEnd = (size.width() - textWidth) / 2 - gap,
                  rightStart = (size.width() + textWidth) / 2 + gap;
        QLinearGradient left(0, 0, leftEnd, 0), right(rightStart, 0, size.width(), 0);
        left.setColorAt(0, kLabelGround);
        left.setColorAt(1, kGold);
        right.setColorAt(0, kGold);
        right.setColorAt(1, kLabelGround);
        p.setPen(QPen(QBrush(left), 1));
        p.drawLine(0, y, leftEnd, y);
        p.setPen(QPen(QBrush(right), 1));
        p.drawLine(rightStart, y, size.width(), y);
    }
    return img;
}

}  // namespace

std::vector<Picture> launcherPictures() {
    return {
        {"bitmap154.bmp", PictureKind::Bmp, 8, launcherBackground},
        {"bitmap159.bmp", PictureKind::Bmp, 1,
         [] { return labelImage(QSize(60, 13), QStringLiteral("TRAINING"), true, false); }},
        {"bitmap157.bmp", PictureKind::Bmp, 8,
         [] { return labelImage(QSize(366, 13), QStringLiteral("MULTIPLAYER"), false, true); }},
        {"bitmap160.bmp", PictureKind::Bmp, 1,
         [] {
             return labelImage(QSize(192, 13), QStringLiteral("ZERATHON WEB SITE"), true, false);
         }},
        {"bitmap161.bmp", PictureKind::Bmp, 1,
         [] { return labelImage(QSize(31, 13), QStringLiteral("QUIT"), true, false); }},
    };
}

QImage gameIcon(int size, bool lobby) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 64.0, size / 64.0);
    // A shield in a 64-unit square, rimmed in gold, with a Z across it.
    const QPainterPath shield = shieldPath(QRectF(6, 4, 52, 58));
    QLinearGradient field(0, 4, 0, 62);
    field.setColorAt(0, lobby ? QColor(60, 96, 190) : QColor(190, 44, 36));
    field.setColorAt(1, lobby ? QColor(18, 30, 80) : QColor(80, 12, 10));
    p.setPen(QPen(kOutline, 2.5));
    p.setBrush(field);
    p.drawPath(shield);
    p.setPen(QPen(kGold, size <= 24 ? 3.0 : 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shield);
    QPainterPath z;
    z.moveTo(18, 14);
    z.lineTo(46, 14);
    z.lineTo(22, 44);
    z.lineTo(46, 44);
    QLinearGradient gold(0, 14, 0, 44);
    gold.setColorAt(0, kGoldLight);
    gold.setColorAt(1, kGoldDark);
    p.setPen(QPen(kOutline, 10, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(z);
    p.setPen(QPen(QBrush(gold), 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(z);
    return img;
}

}  // namespace lobbyres
