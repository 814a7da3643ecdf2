// Writes pictures as uncompressed Windows BMP files (file header, 40-byte information header,
// full palette for 1, 4 and 8 bits, bottom-up rows padded to four bytes).
#pragma once

#include <QImage>
#include <QString>

namespace lobbyres {

// The transparency key of the lobby's pictures: pure green.
inline constexpr QRgb kKeyGreen = 0xff00ff00u;

// Writes `image` with 1, 4, 8 or 24 bits per pixel. Palette depths reduce the colours first;
// pure green keeps an exact entry of its own. Returns false when the depth is not one of
// those or the file cannot be written completely.
bool writeBmp(const QString& path, const QImage& image, int bitsPerPixel);

}  // namespace lobbyres
