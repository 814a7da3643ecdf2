// JPEG pictures (the screen backgrounds) into screen-compatible images, decoded with libjpeg.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace zrt {

// Decodes a 3-component JPEG file into an image of DisplayImageFormat(). Fails on a missing or
// corrupt file, on any other component count, on displays of format 4 and up, and on absurd
// dimensions. Never ends the process.
std::optional<QImage> LoadJpegFile(const QString& path);

}  // namespace zrt
