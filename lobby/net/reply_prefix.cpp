// Reading and writing the big-endian reply length prefix.
#include "lobby/net/reply_prefix.h"

namespace zrt {

std::optional<size_t> declaredLength(const uint8_t* data, size_t size, int width) {
    if (width < 1 || width > kMaxPrefixWidth || size < static_cast<size_t>(width))
        return std::nullopt;
    size_t n = 0;
    for (int i = 0; i < width; ++i) n = (n << 8) | data[i];
    return n;
}

std::optional<std::vector<uint8_t>> withPrefix(const std::vector<uint8_t>& body) {
    if (body.size() > 0xFFFF) return std::nullopt;
    std::vector<uint8_t> out;
    out.reserve(body.size() + 2);
    out.push_back(static_cast<uint8_t>(body.size() >> 8));
    out.push_back(static_cast<uint8_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace zrt
