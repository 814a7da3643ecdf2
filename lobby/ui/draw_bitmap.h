// Plain, stretched and partial drawing of pictures at pixel positions.
#pragma once

#include <QImage>

class QPainter;

namespace zrt {

// Draws the picture at (x, y): at its natural size when width or height is 0 or less, else
// stretched to width x height.
void DrawBitmap(QPainter& p, const QImage& bitmap, int x, int y, int width = 0, int height = 0);

// Draws the part of the picture that starts at (srcX, srcY) at (x, y), width x height large;
// a width or height of 0 or less means the rest of the picture from the source point.
void DrawBitmapPart(QPainter& p, const QImage& bitmap, int x, int y, int width, int height,
                    int srcX, int srcY);

}  // namespace zrt
