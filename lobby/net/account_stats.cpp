// Field-by-field reading and writing of AccountStats.
#include "lobby/net/account_stats.h"

#include "lobby/data/new_account.h"

namespace zrt {

void writeAccountStats(playnet::ByteWriter& w, const AccountStats& s) {
    for (uint16_t v : {s.score, s.portrait, s.country, s.year, s.month, s.day, s.won, s.lost,
                       s.quit, s.gemstones})
        w.u16(v);
}

AccountStats readAccountStats(playnet::ByteReader& r) {
    AccountStats s;
    s.score = r.u16();
    s.portrait = r.u16();
    s.country = r.u16();
    s.year = r.u16();
    s.month = r.u16();
    s.day = r.u16();
    s.won = r.u16();
    s.lost = r.u16();
    s.quit = r.u16();
    s.gemstones = r.u16();
    return s;
}

AccountStats newAccountStats(uint16_t portrait, uint16_t country, uint16_t year, uint16_t month,
                             uint16_t day) {
    AccountStats s;
    s.score = kNewAccountScore;
    s.portrait = portrait;
    s.country = country;
    s.year = year;
    s.month = month;
    s.day = day;
    s.gemstones = kNewAccountGemstones;
    return s;
}

}  // namespace zrt
