// Guid text form and generation.
#include "playnet/guid.h"

#include <mutex>
#include <random>

namespace playnet {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Positions of the dashes inside the 38-character braced text.
bool isDashPos(size_t i) {
    return i == 9 || i == 14 || i == 19 || i == 24;
}

}  // namespace

std::optional<Guid> Guid::Parse(std::string_view text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
    Guid g;
    size_t out = 0;
    for (size_t i = 1; i < 37;) {
        if (isDashPos(i)) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        int hi = hexValue(text[i]);
        int lo = hexValue(text[i + 1]);
        if (hi < 0 || lo < 0 || isDashPos(i + 1)) return std::nullopt;
        g.bytes[out++] = static_cast<uint8_t>(hi * 16 + lo);
        i += 2;
    }
    if (out != 16) return std::nullopt;
    return g;
}

Guid Guid::Generate() {
    static std::mutex mutex;
    static std::mt19937_64 engine{std::random_device{}()};
    Guid g;
    {
        std::lock_guard lock(mutex);
        for (size_t i = 0; i < 16; i += 8) {
            uint64_t v = engine();
            for (size_t k = 0; k < 8; ++k) g.bytes[i + k] = static_cast<uint8_t>(v >> (8 * k));
        }
    }
    g.bytes[6] = static_cast<uint8_t>((g.bytes[6] & 0x0F) | 0x40);  // version 4
    g.bytes[8] = static_cast<uint8_t>((g.bytes[8] & 0x3F) | 0x80);  // variant 1
    return g;
}

std::string Guid::ToString() const {
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "{";
    for (size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 0x0F];
    }
    s += '}';
    return s;
}

bool Guid::IsNull() const {
    for (uint8_t b : bytes) {
        if (b) return false;
    }
    return true;
}

}  // namespace playnet
