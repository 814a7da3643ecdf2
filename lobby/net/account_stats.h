// AccountStats: the ten account figures that the login, new-account and ladder records carry,
// each a little-endian u16, 20 bytes in all.
#pragma once

#include <cstdint>

#include "playnet/bytes.h"

namespace zrt {

struct AccountStats {
    uint16_t score = 0;
    uint16_t portrait = 0;  // favourite nationality or species
    uint16_t country = 0;   // row of the country table
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t day = 0;
    uint16_t won = 0;
    uint16_t lost = 0;
    uint16_t quit = 0;
    uint16_t gemstones = 0;

    bool operator==(const AccountStats&) const = default;
};

void writeAccountStats(playnet::ByteWriter& w, const AccountStats& s);
// Reads 20 bytes; a short read leaves zeros and sets the reader's error flag.
AccountStats readAccountStats(playnet::ByteReader& r);

// The figures of a new account: score 100, no games, 5 gemstones, the given date.
AccountStats newAccountStats(uint16_t portrait, uint16_t country, uint16_t year, uint16_t month,
                             uint16_t day);

}  // namespace zrt
