// Encoding and decoding of the ladder query.
#include "lobby/net/ladder_messages.h"

#include <algorithm>

#include "lobby/net/request_code.h"
#include "playnet/bytes.h"

namespace zrt {

namespace {
constexpr size_t kNameWidth = 21;
}  // namespace

std::vector<uint8_t> encodeLadderRequest() {
    return {static_cast<uint8_t>(RequestCode::Ladder)};
}

std::vector<uint8_t> encodeLadderReply(const std::vector<LadderEntry>& entries) {
    size_t n = std::min(entries.size(), kLadderPerReply);
    playnet::ByteWriter w;
    w.u8(static_cast<uint8_t>(n));
    for (size_t i = 0; i < n; ++i) {
        w.text(entries[i].loginName, kNameWidth);
        writeAccountStats(w, entries[i].stats);
    }
    return w.take();
}

std::vector<LadderEntry> decodeLadderReply(const uint8_t* data, size_t size) {
    std::vector<LadderEntry> out;
    if (size < 1) return out;
    size_t whole = (size - 1) / kLadderEntrySize;
    size_t n = std::min({static_cast<size_t>(data[0]), whole, kLadderWindowMax});
    playnet::ByteReader r(data + 1, n * kLadderEntrySize);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        LadderEntry e;
        e.loginName = r.text(kNameWidth);
        e.stats = readAccountStats(r);
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace zrt
