// The optional length prefix of a server-link reply: an n-byte big-endian count of the bytes
// that follow it. The link uses widths 0 (no prefix) and 2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zrt {

inline constexpr int kMaxPrefixWidth = 2;

// The count declared by the first `width` bytes; nullopt when fewer bytes are at hand or the
// width is outside 1..kMaxPrefixWidth.
std::optional<size_t> declaredLength(const uint8_t* data, size_t size, int width);

// The body preceded by its 2-byte prefix; nullopt when the body is longer than 65535 bytes.
std::optional<std::vector<uint8_t>> withPrefix(const std::vector<uint8_t>& body);

}  // namespace zrt
