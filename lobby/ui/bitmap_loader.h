// Our own BMP reader: Windows bitmap files into screen-compatible images.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace zrt {

struct LoadedBitmap {
    QImage image;          // in DisplayImageFormat()
    int bitsPerPixel = 0;  // low byte of the file's bit count
};

// Reads an uncompressed BMP file (1, 4, 8, 16, 24 or 32 bits per pixel; 16 and 32 bits may
// carry bit-field masks). Fails, before allocating anything large, on a missing file, a wrong
// signature, an unsupported kind, absurd dimensions or a file shorter than its pixel data.
std::optional<LoadedBitmap> LoadBitmapFile(const QString& path);

}  // namespace zrt
