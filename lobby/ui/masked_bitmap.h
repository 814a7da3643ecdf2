// Pictures with transparent parts: a monochrome mask and a masked copy, drawn together so that
// the key-coloured pixels leave the target as it was.
#pragma once

#include <QImage>
#include <QRgb>

class QPainter;

namespace zrt {

// The lobby's pictures mark their transparent parts in pure green.
constexpr QRgb kKeyColour = qRgb(0, 255, 0);

struct MaskedBitmap {
    QImage mask;    // monochrome: 1 (white) where the picture has the key colour, else 0 (black)
    QImage masked;  // the picture in its own format, key-coloured pixels made black
    int width() const { return masked.width(); }
    int height() const { return masked.height(); }
    bool isNull() const { return masked.isNull() || mask.isNull(); }
};

// Makes the mask and masked copy of the top-left width x height part of a bitmap (a negative
// width or height: the bitmap's own). A pixel is transparent when it equals the key colour as
// the bitmap's own format stores it.
MaskedBitmap MakeMask(const QImage& bitmap, QRgb key, int width = -1, int height = -1);

// Draws a masked picture: the mask is ANDed into the target (key pixels keep the target, the
// others turn black), then the masked copy is ORed over it.
void DrawMasked(QPainter& p, int x, int y, const MaskedBitmap& m);

}  // namespace zrt
