// Mask making and transparent drawing.
#include "lobby/ui/masked_bitmap.h"

#include <QPaintEngine>
#include <QPainter>

namespace zrt {

MaskedBitmap MakeMask(const QImage& bitmap, QRgb key, int width, int height) {
    MaskedBitmap out;
    if (bitmap.isNull()) return out;
    const int w = width < 0 ? bitmap.width() : qMin(width, bitmap.width());
    const int h = height < 0 ? bitmap.height() : qMin(height, bitmap.height());
    if (w <= 0 || h <= 0) return out;

    // The key as this bitmap's format stores it (a 16-bit picture holds green as 0,252,0).
    QImage keyPixel(1, 1, bitmap.format());
    keyPixel.setPixel(0, 0, key);
    const QRgb storedKey = keyPixel.pixel(0, 0);

    out.masked = bitmap.copy(0, 0, w, h);
    out.mask = QImage(w, h, QImage::Format_Mono);
    if (out.masked.isNull() || out.mask.isNull()) return MaskedBitmap();
    out.mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool transparent = out.masked.pixel(x, y) == storedKey;
            out.mask.setPixel(x, y, transparent ? 1 : 0);
            if (transparent) out.masked.setPixel(x, y, black);
        }
    }
    return out;
}

void DrawMasked(QPainter& p, int x, int y, const MaskedBitmap& m) {
    if (m.isNull()) return;
    const QPainter::CompositionMode previous = p.compositionMode();
    if (p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(x, y, m.mask);
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        // Raster operations combine 32-bit pixels; 16- and 24-bit copies are widened first.
        if (m.masked.format() == QImage::Format_RGB32)
            p.drawImage(x, y, m.masked);
        else
            p.drawImage(x, y, m.masked.convertToFormat(QImage::Format_RGB32));
    } else {
        // Targets without raster operations get the same picture through an alpha channel.
        QImage argb = m.masked.convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < argb.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(argb.scanLine(row));
            for (int col = 0; col < argb.width(); ++col)
                if (m.mask.pixelIndex(col, row) == 1) line[col] = qRgba(0, 0, 0, 0);
        }
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.drawImage(x, y, argb);
    }
    p.setCompositionMode(previous);
}

}  // namespace zrt
