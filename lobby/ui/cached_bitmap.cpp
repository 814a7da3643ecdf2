// CachedBitmap: a loaded BMP and a copy of its pixel bytes.
#include "lobby/ui/cached_bitmap.h"

#include "lobby/ui/bitmap_loader.h"

namespace zrt {

bool CachedBitmap::load(const QString& path) {
    image_ = QImage();
    bits_.clear();
    fileBitsPerPixel_ = 0;
    std::optional<LoadedBitmap> loaded = LoadBitmapFile(path);
    if (!loaded) return false;
    image_ = loaded->image;
    bits_ = QByteArray(reinterpret_cast<const char*>(image_.constBits()),
                       static_cast<qsizetype>(image_.sizeInBytes()));
    fileBitsPerPixel_ = loaded->bitsPerPixel;
    return true;
}

}  // namespace zrt
