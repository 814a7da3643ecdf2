// Pixel layout operations: channel swap, row padding and row flip.
#include "lobby/banner/gif_pixels.h"

#include <algorithm>
#include <cstring>

namespace zrt {
namespace {

bool Fits(size_t size, int width, int height, size_t stride) {
    if (width < 0 || height < 0) return false;
    return stride == 0 || size / stride >= size_t(height);
}

}  // namespace

bool SwapRedBlue(std::vector<uint8_t>& pixels, int width, int height) {
    if (!Fits(pixels.size(), width, height, size_t(width) * 3)) return false;
    size_t n = size_t(width) * size_t(height) * 3;
    for (size_t i = 0; i < n; i += 3) std::swap(pixels[i], pixels[i + 2]);
    return true;
}

size_t PaddedStride(int width) {
    return width <= 0 ? 0 : ((size_t(width) * 24 + 31) / 32) * 4;
}

std::optional<PaddedPixels> PadRows(const std::vector<uint8_t>& pixels, int width, int height) {
    size_t rowBytes = size_t(width) * 3;
    if (!Fits(pixels.size(), width, height, rowBytes)) return std::nullopt;
    PaddedPixels out;
    out.stride = PaddedStride(width);
    out.data.assign(out.stride * size_t(height), 0);
    for (int y = 0; y < height && rowBytes; ++y)
        std::memcpy(out.data.data() + size_t(y) * out.stride, pixels.data() + size_t(y) * rowBytes,
                    rowBytes);
    return out;
}

bool FlipRows(std::vector<uint8_t>& rows, int height, size_t stride) {
    if (height < 0 || (stride && rows.size() / stride < size_t(height))) return false;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rows.begin() + std::ptrdiff_t(size_t(top) * stride),
                         rows.begin() + std::ptrdiff_t(size_t(top) * stride + stride),
                         rows.begin() + std::ptrdiff_t(size_t(bottom) * stride));
    return true;
}

}  // namespace zrt
