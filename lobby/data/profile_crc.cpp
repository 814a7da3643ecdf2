// CRC-8 of the profile file, table driven (one table lookup per byte).
#include "lobby/data/profile_crc.h"

#include <array>

namespace zrt {
namespace {

constexpr uint8_t kPoly = 0x4B;  // 0x14B without its x^8 term

constexpr std::array<uint8_t, 256> MakeTable() {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        uint8_t r = static_cast<uint8_t>(i);
        for (int b = 0; b < 8; ++b)
            r = (r & 0x80) ? static_cast<uint8_t>((r << 1) ^ kPoly) : static_cast<uint8_t>(r << 1);
        t[i] = r;
    }
    return t;
}

constexpr auto kTable = MakeTable();

}  // namespace

uint8_t ProfileCrc8(const uint8_t* data, size_t size) {
    uint8_t crc = 0;
    for (size_t i = 0; i < size; ++i) crc = kTable[crc ^ data[i]];
    return crc;
}

}  // namespace zrt
