// Writes the input into a file and loads it with LoadBitmapFile on one of the four display
// formats (chosen by the input's length). A picture that loads has the size its header states,
// the display's image format, and one of the bit depths the reader supports.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/display_probes.h"
#include "fuzz/support/fuzz_support.h"
#include "lobby/ui/bitmap_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto file = zrtfuzz::FuzzDir("bmp") / "picture.bmp";
    if (!zrtfuzz::WriteFile(file, data, size)) return 0;
    zrt::OverrideDisplayProbe(zrtfuzz::DisplayProbeNumber(size));
    std::optional<zrt::LoadedBitmap> bmp =
        zrt::LoadBitmapFile(QString::fromStdString(file.string()));
    if (!bmp) return 0;
    FUZZ_CHECK(size >= 54);
    const int32_t width =
        int32_t(data[18] | data[19] << 8 | data[20] << 16 | uint32_t(data[21]) << 24);
    const int32_t height =
        int32_t(data[22] | data[23] << 8 | data[24] << 16 | uint32_t(data[25]) << 24);
    FUZZ_CHECK(bmp->image.width() == width && bmp->image.height() == height);
    FUZZ_CHECK(bmp->image.format() == zrt::DisplayImageFormat());
    const int bits = bmp->bitsPerPixel;
    FUZZ_CHECK(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    return 0;
}
