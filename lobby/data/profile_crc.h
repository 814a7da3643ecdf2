// CRC-8 that protects the profile file: polynomial x^8 + x^6 + x^3 + x + 1 (0x14B),
// most significant bit first, initial remainder 0, no final XOR.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zrt {

// Remainder of (message * x^8) divided by the polynomial. An empty message gives 0, and a
// message followed by its own CRC gives 0.
uint8_t ProfileCrc8(const uint8_t* data, size_t size);

}  // namespace zrt
