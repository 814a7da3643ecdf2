// Pixel layout operations used with decoded GIF frames (24-bit pixels, width in pixels,
// height in rows). Each checks the buffer size first and does nothing (returns false or
// nothing) when the buffer is too small for the dimensions given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zrt {

// Exchanges the first and third byte of every pixel (red-green-blue <-> blue-green-red).
bool SwapRedBlue(std::vector<uint8_t>& pixels, int width, int height);

// Row stride of 24-bit rows padded to a multiple of 4 bytes: ((width * 24 + 31) / 32) * 4.
size_t PaddedStride(int width);

struct PaddedPixels {
    std::vector<uint8_t> data;
    size_t stride = 0;
};

// A copy whose rows are padded to a multiple of 4 bytes (the padding is zero).
std::optional<PaddedPixels> PadRows(const std::vector<uint8_t>& pixels, int width, int height);

// Reverses the order of the rows in place (for bottom-up bitmaps).
bool FlipRows(std::vector<uint8_t>& rows, int height, size_t stride);

}  // namespace zrt
