// Field access and the reversible transform of the profile record.
#include "lobby/data/profile_record.h"

#include <algorithm>
#include <cstring>

#include "lobby/data/profile_crc.h"

namespace zrt {

using namespace profile_offset;

std::string ProfileRecord::text(size_t offset, size_t width) const {
    if (offset >= kProfileSize || width == 0) return {};
    size_t avail = std::min(width - 1, kProfileSize - offset);
    const char* p = reinterpret_cast<const char*>(bytes.data() + offset);
    return std::string(p, strnlen(p, avail));
}

void ProfileRecord::setText(size_t offset, size_t width, std::string_view s) {
    if (offset >= kProfileSize || width == 0) return;
    width = std::min(width, kProfileSize - offset);
    size_t n = std::min(s.size(), width - 1);
    size_t nul = s.find('\0');
    if (nul != std::string_view::npos && nul < n) n = nul;
    std::memset(bytes.data() + offset, 0, width);
    if (n) std::memcpy(bytes.data() + offset, s.data(), n);
}

uint16_t ProfileRecord::u16(size_t offset) const {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void ProfileRecord::setU16(size_t offset, uint16_t v) {
    bytes[offset] = static_cast<uint8_t>(v);
    bytes[offset + 1] = static_cast<uint8_t>(v >> 8);
}

uint8_t ProfileKeyForTime(std::time_t t) {
    // t mod 192 of a negative time is taken as its non-negative remainder.
    long long m = static_cast<long long>(t) % 192;
    if (m < 0) m += 192;
    return static_cast<uint8_t>((m + 32) | 7);
}

std::array<uint8_t, kProfileSize> ScrambleProfile(const ProfileRecord& plain, uint8_t key) {
    std::array<uint8_t, kProfileSize> p = plain.bytes;
    p[kKey] = 0;
    p[kCheck] = ProfileCrc8(p.data() + kKey, kCheck - kKey);
    p[kKey] = key;
    uint8_t addend = key;
    for (size_t i = kScrambledFrom; i < kProfileSize; ++i) {
        addend = static_cast<uint8_t>(addend + key);
        p[i] = static_cast<uint8_t>(p[i] + addend);
    }
    for (size_t i = kScrambledFrom; i + 1 < kProfileSize; ++i)
        p[i + 1] = static_cast<uint8_t>(p[i + 1] + p[i]);
    for (size_t i = kProfileSize - 2; i >= kScrambledFrom; --i)
        p[i] = static_cast<uint8_t>(p[i] + p[i + 1]);
    return p;
}

std::optional<ProfileRecord> UnscrambleProfile(const uint8_t* data, size_t size) {
    ProfileRecord r;
    auto& p = r.bytes;
    if (size > kProfileSize) size = kProfileSize;
    if (size) std::memcpy(p.data(), data, size);
    // Undo the backward running sum, then the forward one, then the key's ramp.
    for (size_t i = kScrambledFrom; i + 1 < kProfileSize; ++i)
        p[i] = static_cast<uint8_t>(p[i] - p[i + 1]);
    for (size_t i = kProfileSize - 2; i >= kScrambledFrom; --i)
        p[i + 1] = static_cast<uint8_t>(p[i + 1] - p[i]);
    uint8_t key = p[kKey];
    uint8_t addend = key;
    for (size_t i = kScrambledFrom; i < kProfileSize; ++i) {
        addend = static_cast<uint8_t>(addend + key);
        p[i] = static_cast<uint8_t>(p[i] - addend);
    }
    p[kKey] = 0;
    if (ProfileCrc8(p.data() + kKey, kProfileSize - kKey) != 0) return std::nullopt;
    return r;
}

}  // namespace zrt
