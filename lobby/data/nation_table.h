// The nation table: 19 nations and races, index 0-18, which is also the number of the
// player's portrait. The pictures themselves are loaded by the UI from the files named here.
#pragma once

#include <array>
#include <cstddef>

namespace zrt {

constexpr size_t kNationCount = 19;

struct NationRow {
    const char* name;
    const char* portraitFile;  // relative to the game folder, '/' as separator
};

extern const std::array<NationRow, kNationCount> kNationTable;

// The row of a portrait index, or nothing (nullptr) outside the table.
const NationRow* Nation(int index);

}  // namespace zrt
