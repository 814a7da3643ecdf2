// The country table: 235 names, index 0-234, as profiles and player records carry them.
#pragma once

#include <array>
#include <cstddef>

namespace zrt {

constexpr size_t kCountryCount = 235;
constexpr int kCountryOther = 234;    // "Other"
constexpr int kCountryDefault = 220;  // "USA", preselected for a new player

extern const std::array<const char*, kCountryCount> kCountryTable;

// The name of a country index; "" for an index outside the table (indexes come from files and
// from other players).
const char* CountryName(int index);

}  // namespace zrt
