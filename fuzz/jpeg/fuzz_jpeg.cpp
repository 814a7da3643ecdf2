// Writes the input into a file and loads it with LoadJpegFile on one of the four display
// formats (chosen by the input's length): a corrupt file is a failure, never the end of the
// process. Frames that declare more than a million pixels decode correctly but slowly; the
// fuzzer spends its time on the parsing instead (large pictures are covered by the tests).
#include <QString>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/display_probes.h"
#include "fuzz/support/fuzz_support.h"
#include "lobby/ui/jpeg_loader.h"

namespace {

// The largest width x height any start-of-frame marker in the bytes declares.
uint64_t LargestFrame(const uint8_t* data, size_t size) {
    uint64_t largest = 0;
    for (size_t i = 0; i + 9 <= size; ++i) {
        if (data[i] != 0xFF || data[i + 1] < 0xC0 || data[i + 1] > 0xCF || data[i + 1] == 0xC4 ||
            data[i + 1] == 0xC8 || data[i + 1] == 0xCC)
            continue;
        const uint64_t h = uint64_t(data[i + 5]) << 8 | data[i + 6];
        const uint64_t w = uint64_t(data[i + 7]) << 8 | data[i + 8];
        if (w * h > largest) largest = w * h;
    }
    return largest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (LargestFrame(data, size) > 1024 * 1024) return 0;
    static const auto file = zrtfuzz::FuzzDir("jpeg") / "picture.jpg";
    if (!zrtfuzz::WriteFile(file, data, size)) return 0;
    zrt::OverrideDisplayProbe(zrtfuzz::DisplayProbeNumber(size));
    std::optional<QImage> image = zrt::LoadJpegFile(QString::fromStdString(file.string()));
    if (!image) return 0;
    FUZZ_CHECK(!image->isNull() && image->format() == zrt::DisplayImageFormat());
    FUZZ_CHECK(uint64_t(image->width()) * uint64_t(image->height()) <= 1024 * 1024);
    return 0;
}
