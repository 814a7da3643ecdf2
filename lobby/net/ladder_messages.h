// The ladder query: the 1-byte request (code 4) and the reply, a count byte followed by that
// many 41-byte LadderEntry records (login name, AccountStats), best first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"

namespace zrt {

struct LadderEntry {
    std::string loginName;  // at most 20 characters
    AccountStats stats;
};

std::vector<uint8_t> encodeLadderRequest();
// At most the first 49 entries are written, so the reply fits one read of 2048 bytes.
std::vector<uint8_t> encodeLadderReply(const std::vector<LadderEntry>& entries);
// Only whole entries that arrived, and no more than the count byte declares or the ladder
// window holds (99). An empty result means no ladder.
std::vector<LadderEntry> decodeLadderReply(const uint8_t* data, size_t size);

}  // namespace zrt
