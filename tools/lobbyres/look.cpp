// Drawing pieces shared by every picture (see look.h). Noise comes from an integer hash so
// the generator writes the same pictures on every run.
#include "tools/lobbyres/look.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace lobbyres {
namespace {

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double lattice(int x, int y, uint32_t seed) {
    return double(hash(x, y, seed) & 0xffffu) / 65535.0;
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, uint32_t seed) {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = smooth(x - x0), fy = smooth(y - y0);
    const double a = lattice(x0, y0, seed), b = lattice(x0 + 1, y0, seed);
    const double c = lattice(x0, y0 + 1, seed), d = lattice(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

QColor shade(QColor c, double f) {
    auto ch = [f](int v) { return std::clamp(int(std::lround(v * f)), 0, 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()));
}

int fittingPixelSize(const QString& text, int pixelSize, int maxWidth, bool bold) {
    while (pixelSize > 7 &&
           QFontMetrics(lobbyFont(pixelSize, bold)).horizontalAdvance(text) > maxWidth)
        --pixelSize;
    return pixelSize;
}

QPainterPath textPath(const QRect& r, int alignment, const QString& text, const QFont& font) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    const QFontMetricsF fm(font);
    double x = r.left() - box.left();
    if (alignment & Qt::AlignHCenter) x = r.left() + (r.width() - box.width()) / 2.0 - box.left();
    if (alignment & Qt::AlignRight) x = r.right() + 1 - box.width() - box.left();
    // Centre on the capital height so that descenders do not push the line up.
    double y = r.top() + (r.height() + fm.capHeight()) / 2.0;
    if (alignment & Qt::AlignTop) y = r.top() + fm.ascent();
    path.translate(std::round(x), std::round(y));
    return path;
}

}  // namespace

double fractalNoise(double x, double y, double scale, uint32_t seed) {
    double sum = 0, weight = 0, amplitude = 1;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * valueNoise(x / scale, y / scale, seed + uint32_t(octave) * 101u);
        weight += amplitude;
        amplitude *= 0.5;
        scale /= 2.0;
    }
    return sum / weight;
}

QImage stoneImage(QSize size, QColor base, int blockHeight, uint32_t seed) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        const int course = blockHeight > 0 ? y / blockHeight : 0;
        const int inCourse = blockHeight > 0 ? y % blockHeight : 1;
        for (int x = 0; x < size.width(); ++x) {
            double f =
                0.72 + 0.5 * fractalNoise(x, y, 48, seed) + 0.12 * (lattice(x, y, seed + 7) - 0.5);
            if (blockHeight > 0) {
                // Blocks of a course are 2 to 4 courses wide, each course shifted.
                const int offset = int(hash(course, 0, seed) % uint32_t(blockHeight * 2));
                const int blockWidth =
                    blockHeight * 2 + int(hash(course, 1, seed) % uint32_t(blockHeight * 2));
                const int bx = (x + offset) / blockWidth, inBlock = (x + offset) % blockWidth;
                f *= 0.9 + 0.2 * lattice(bx, course, seed + 3);
                if (inCourse < 2 || inBlock < 2)
                    f *= 0.45;  // mortar joint
                else if (inCourse == 2 || inBlock == 2)
                    f *= 1.25;  // lit upper/left edge
                else if (inCourse == blockHeight - 1 || inBlock == blockWidth - 1)
                    f *= 0.8;
            }
            row[x] = shade(base, f).rgb();
        }
    }
    return img;
}

void drawParchmentPanel(QPainter& p, const QRect& r, uint32_t seed) {
    QImage panel(r.size(), QImage::Format_RGB32);
    for (int y = 0; y < r.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(panel.scanLine(y));
        for (int x = 0; x < r.width(); ++x)
            row[x] = shade(kParchment, 0.93 + 0.1 * fractalNoise(x, y, 60, seed)).rgb();
    }
    p.drawImage(r.topLeft(), panel);
    // Recessed edge: dark above and left, lit below and right.
    p.setPen(QColor(40, 34, 26));
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(QColor(150, 140, 118));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    p.setPen(QColor(200, 190, 165));
    p.drawLine(r.left() + 1, r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top() + 1, r.right(), r.bottom());
}

void drawRecess(QPainter& p, const QRect& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(14, 12, 10));
    g.setColorAt(1, QColor(34, 30, 26));
    p.fillRect(r, g);
    p.setPen(QColor(8, 6, 4));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(120, 112, 100));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void drawMetalFrame(QPainter& p, const QRect& r, int width) {
    for (int i = 0; i < width; ++i) {
        // Bronze ridge: brighter towards the middle of the border.
        const double t = width > 1 ? double(i) / (width - 1) : 0.5;
        const double f = 0.55 + 0.6 * (1.0 - std::abs(t - 0.4) * 1.6);
        p.setPen(shade(QColor(176, 128, 52), f));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(i, i, -i - 1, -i - 1));
    }
    p.setPen(kOutline);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.drawRect(r.adjusted(width, width, -width - 1, -width - 1));
}

QFont lobbyFont(int pixelSize, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void drawEngravedText(QPainter& p, const QRect& r, int alignment, const QString& text,
                      const QFont& font, QColor top, QColor bottom, double outline) {
    const QPainterPath path = textPath(r, alignment, text, font);
    const QRectF box = path.boundingRect();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.strokePath(path.translated(1, 1), QPen(QColor(0, 0, 0, 150), outline + 1, Qt::SolidLine,
                                             Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path, QPen(kOutline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillPath(path, g);
    p.restore();
}

QImage keyedText(QSize size, const QString& text, int pixelSize, bool flat, int margin) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(0, 255, 0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    const QFont font =
        lobbyFont(fittingPixelSize(text, pixelSize, size.width() - margin, true), true);
    const QPainterPath path = textPath(QRect(QPoint(0, 0), size), Qt::AlignCenter, text, font);
    if (flat) {
        p.fillPath(path, QColor(255, 224, 64));
        return img;
    }
    p.strokePath(path, QPen(kOutline, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, kGoldLight);
    g.setColorAt(0.5, QColor(255, 210, 60));
    g.setColorAt(1, QColor(200, 130, 30));
    p.fillPath(path, g);
    return img;
}

QImage buttonImage(QSize size, const QString& text, ButtonState state, int pixelSize) {
    QImage img(size, QImage::Format_RGB32);
    QColor top, bottom, trim, textTop, textBottom;
    switch (state) {
        case ButtonState::Normal:
            top = QColor(128, 124, 116), bottom = QColor(50, 48, 46), trim = QColor(150, 112, 48);
            textTop = kGoldLight, textBottom = kGold;
            break;
        case ButtonState::Hover:
            top = QColor(214, 170, 80), bottom = QColor(118, 72, 20), trim = QColor(255, 230, 130);
            textTop = QColor(255, 255, 220), textBottom = QColor(255, 240, 80);
            break;
        case ButtonState::Inactive:
            top = QColor(88, 88, 88), bottom = QColor(62, 62, 62), trim = QColor(96, 96, 96);
            textTop = QColor(140, 140, 140), textBottom = QColor(116, 116, 116);
            break;
    }
    const uint32_t seed = uint32_t(size.width() * 31 + size.height());
    for (int y = 0; y < size.height(); ++y) {
        const double t = size.height() > 1 ? double(y) / (size.height() - 1) : 0;
        QColor c(int(top.red() + (bottom.red() - top.red()) * t),
                 int(top.green() + (bottom.green() - top.green()) * t),
                 int(top.blue() + (bottom.blue() - top.blue()) * t));
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            // Brushed metal: faint horizontal streaks.
            const double streak = state == ButtonState::Inactive
                                      ? 1.0
                                      : 0.94 + 0.12 * fractalNoise(x * 0.15, y * 3.0, 8, seed);
            row[x] = shade(c, streak).rgb();
        }
    }
    QPainter p(&img);
    const QRect r(QPoint(0, 0), size);
    p.setPen(kOutline);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(state == ButtonState::Inactive ? QColor(110, 110, 110) : shade(top, 1.35));
    p.drawLine(1, 1, size.width() - 2, 1);
    p.drawLine(1, 1, 1, size.height() - 2);
    p.setPen(shade(bottom, 0.55));
    p.drawLine(1, size.height() - 2, size.width() - 2, size.height() - 2);
    p.drawLine(size.width() - 2, 1, size.width() - 2, size.height() - 2);
    if (size.height() >= 30) {
        p.setPen(trim);
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
    if (state == ButtonState::Hover) {
        // A soft glow behind the label shows the button is lit.
        QRadialGradient glow(r.center(), size.width() / 2.0);
        glow.setColorAt(0, QColor(255, 250, 200, 110));
        glow.setColorAt(1, QColor(255, 250, 200, 0));
        p.fillRect(r.adjusted(2, 2, -2, -2), glow);
    }
    const bool bold = true;
    const int px = fittingPixelSize(text, pixelSize, size.width() - 10, bold);
    const QRect textRect = r.adjusted(0, 0, 0, state == ButtonState::Hover ? 0 : 0);
    drawEngravedText(p, textRect, Qt::AlignCenter, text, lobbyFont(px, bold), textTop, textBottom,
                     size.height() >= 30 ? 2.5 : 2.0);
    return img;
}

void drawVignette(QPainter& p, QSize size) {
    QRadialGradient g(QPointF(size.width() / 2.0, size.height() / 2.0), size.width() * 0.7);
    g.setColorAt(0.55, QColor(0, 0, 0, 0));
    g.setColorAt(1, QColor(0, 0, 0, 170));
    p.fillRect(QRect(QPoint(0, 0), size), g);
}

void drawOrnament(QPainter& p, int cx, int y, int halfWidth) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 3));
    p.drawLine(cx - halfWidth, y, cx + halfWidth, y);
    p.setPen(QPen(kGold, 1));
    p.drawLine(cx - halfWidth, y, cx + halfWidth, y);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kGold);
    p.drawPolygon(QPolygonF(QList<QPointF>{{double(cx), y - 6.0},
                                           {cx + 8.0, double(y)},
                                           {double(cx), y + 6.0},
                                           {cx - 8.0, double(y)}}));
    p.restore();
}

QPainterPath shieldPath(const QRectF& box) {
    const double cx = box.center().x(), w = box.width(), h = box.height();
    QPainterPath shield;
    shield.moveTo(box.topLeft());
    shield.lineTo(box.topRight());
    shield.lineTo(box.right(), box.top() + 0.46 * h);
    shield.cubicTo(box.right(), box.top() + 0.75 * h, cx + w / 6, box.top() + 0.92 * h, cx,
                   box.bottom());
    shield.cubicTo(cx - w / 6, box.top() + 0.92 * h, box.left(), box.top() + 0.75 * h, box.left(),
                   box.top() + 0.46 * h);
    shield.closeSubpath();
    return shield;
}

void drawPlaque(QPainter& p, const QRect& r, const QString& text, int pixelSize) {
    drawRecess(p, r.adjusted(4, 4, -4, -4));
    drawMetalFrame(p, r, 4);
    drawEngravedText(p, r, Qt::AlignCenter, text, lobbyFont(pixelSize, true), kGoldLight, kGoldDark,
                     3.0);
}

}  // namespace lobbyres
