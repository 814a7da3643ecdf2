// Drawing pictures.
#include "lobby/ui/draw_bitmap.h"

#include <QPainter>

namespace zrt {

void DrawBitmap(QPainter& p, const QImage& bitmap, int x, int y, int width, int height) {
    if (bitmap.isNull()) return;
    if (width <= 0 || height <= 0)
        p.drawImage(x, y, bitmap);
    else
        p.drawImage(QRect(x, y, width, height), bitmap);
}

void DrawBitmapPart(QPainter& p, const QImage& bitmap, int x, int y, int width, int height,
                    int srcX, int srcY) {
    if (bitmap.isNull()) return;
    if (width <= 0) width = bitmap.width() - srcX;
    if (height <= 0) height = bitmap.height() - srcY;
    if (width <= 0 || height <= 0) return;
    p.drawImage(x, y, bitmap, srcX, srcY, width, height);
}

}  // namespace zrt
