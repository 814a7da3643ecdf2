// The memory the hall tables hold: the objects themselves plus what they own on the heap
// (vector storage by capacity, texts too long for the in-place buffer), without the
// allocator's own overhead, which the heap measurement of the benchmark shows separately.
#pragma once

#include <cstddef>

#include "lobby/session/hall_tables.h"

namespace zrt::bench {

struct TableBytes {
    size_t players = 0;      // PlayerTable
    size_t groups = 0;       // GroupTable with the member lists
    size_t inGameNames = 0;  // highlighted names
    size_t other = 0;        // the HallTables object itself, block list, dialog mirror, own profile

    size_t total() const { return players + groups + inGameNames + other; }
};

TableBytes tableBytes(const HallTables& hall);

}  // namespace zrt::bench
