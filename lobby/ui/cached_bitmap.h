// A picture kept both as a screen-compatible image and as a copy of its raw pixel bytes, for
// screens that read pixels.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zrt {

class CachedBitmap {
  public:
    // Loads a BMP file; loading again replaces both the image and the bytes. On failure the
    // bitmap is left empty.
    bool load(const QString& path);

    const QImage& image() const { return image_; }
    // Row stride x height bytes of the image, in its own pixel format.
    const QByteArray& bits() const { return bits_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    bool isNull() const { return image_.isNull(); }
    int fileBitsPerPixel() const { return fileBitsPerPixel_; }

  private:
    QImage image_;
    QByteArray bits_;
    int fileBitsPerPixel_ = 0;
};

}  // namespace zrt
