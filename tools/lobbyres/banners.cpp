// Demo banners (see banners.h): a stone strip with the game's name; the animation sweeps a
// gleam across the lettering and pulses the call to play.
#include "tools/lobbyres/banners.h"

#include <QLinearGradient>
#include <QPainter>

#include "tools/lobbyres/look.h"

namespace lobbyres {
namespace {

constexpr int kWidth = 468, kHeight = 60;

QImage bannerBase() {
    QImage img = stoneImage(QSize(kWidth, kHeight), QColor(60, 56, 70), 0, 61);
    QPainter p(&img);
    drawMetalFrame(p, img.rect(), 3);
    return img;
}

}  // namespace

std::vector<GifFrame> animatedBanner() {
    std::vector<GifFrame> frames;
    constexpr int kFrames = 8;
    for (int f = 0; f < kFrames; ++f) {
        // The name on a layer of its own, so the gleam lights only the letters.
        QImage name(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
        name.fill(Qt::transparent);
        {
            QPainter n(&name);
            drawEngravedText(n, QRect(10, 4, 250, 52), Qt::AlignCenter, QStringLiteral("ZERATHON"),
                             lobbyFont(38, true), kGoldLight, kGoldDark, 3.0);
            // The gleam: a light band moving left to right over the name.
            const double x = 10 + 250.0 * f / (kFrames - 1);
            QLinearGradient gleam(x - 24, 0, x + 24, 0);
            gleam.setColorAt(0, QColor(255, 255, 255, 0));
            gleam.setColorAt(0.5, QColor(255, 255, 235, 200));
            gleam.setColorAt(1, QColor(255, 255, 255, 0));
            n.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            n.fillRect(name.rect(), gleam);
        }
        QImage img = bannerBase();
        QPainter p(&img);
        p.drawImage(0, 0, name);
        const int glow = 180 + 75 * ((f % 4 < 2) ? 1 : 0);
        drawEngravedText(p, QRect(262, 6, 196, 48), Qt::AlignCenter,
                         QStringLiteral("Play online now!"), lobbyFont(20, true),
                         QColor(255, 255, glow - 100), QColor(glow, glow - 40, 20), 2.5);
        frames.push_back({img, f == kFrames - 1 ? 120 : 15});
    }
    return frames;
}

QImage stillBanner() {
    QImage img = bannerBase();
    QPainter p(&img);
    drawEngravedText(p, QRect(10, 4, 448, 30), Qt::AlignCenter, QStringLiteral("Zerathon Lobby"),
                     lobbyFont(26, true), kGoldLight, kGoldDark, 3.0);
    drawEngravedText(p, QRect(10, 34, 448, 22), Qt::AlignCenter,
                     QStringLiteral("Find a hall, form a group, launch!"), lobbyFont(14, true),
                     QColor(255, 255, 160), QColor(240, 210, 60), 2.0);
    return img;
}

}  // namespace lobbyres
