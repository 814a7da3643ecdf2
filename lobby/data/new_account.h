// The figures a new lobby account starts with: the server stores them for the account it
// creates, the lobby writes them into the profile it registers, and the stand-in game gives
// them to a profile made with a login.
#pragma once

#include <cstdint>

namespace zrt {

inline constexpr uint16_t kNewAccountScore = 100;
inline constexpr uint16_t kNewAccountGemstones = 5;

}  // namespace zrt
