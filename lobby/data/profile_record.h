// The profile record shared with the game: 1443 bytes, in memory in plain form (key byte 0),
// on disk protected by a reversible byte transform keyed by the byte at offset 136 and a CRC-8.
// Fields are read and written byte by byte at their offsets; everything the lobby does not
// use (the game's data) is carried unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace zrt {

constexpr size_t kProfileSize = 1443;

// Offsets of the fields the lobby reads or writes.
namespace profile_offset {
constexpr size_t kPlayerName = 0;       // 21 bytes used of the game's first block
constexpr size_t kStem = 102;           // 9
constexpr size_t kSaveFolder = 111;     // 10
constexpr size_t kGemHall = 121;        // 1
constexpr size_t kStartMode = 122;      // 1
constexpr size_t kSavedGame = 123;      // 13
constexpr size_t kKey = 136;            // 1, the first byte the check covers
constexpr size_t kScrambledFrom = 137;  // the transform starts here
constexpr size_t kLoginName = 1366;     // 21
constexpr size_t kSecondLobby = 1387;   // 21
constexpr size_t kPortrait = 1408;      // u16
constexpr size_t kCountry = 1410;       // u16
constexpr size_t kScore = 1412;         // u16
constexpr size_t kWon = 1414;           // u16
constexpr size_t kLost = 1416;          // u16
constexpr size_t kPlayed = 1418;        // u16
constexpr size_t kGems = 1420;          // u16
constexpr size_t kLoginCount = 1422;    // u8
constexpr size_t kLobbyByte = 1423;     // u8
constexpr size_t kCheck = 1442;         // CRC-8
}  // namespace profile_offset

// Field widths of the text fields (including room for the NUL).
namespace profile_width {
constexpr size_t kPlayerName = 21;
constexpr size_t kStem = 9;
constexpr size_t kSaveFolder = 10;
constexpr size_t kSavedGame = 13;
constexpr size_t kLoginName = 21;
constexpr size_t kSecondLobby = 21;
}  // namespace profile_width

// Start modes written at launch.
constexpr uint8_t kStartNewGame = 1;
constexpr uint8_t kContinueSavedGame = 2;

struct ProfileRecord {
    std::array<uint8_t, kProfileSize> bytes{};  // a fresh record is all zeros

    // Text of a field: up to its first NUL, never more than `width` - 1 characters.
    std::string text(size_t offset, size_t width) const;
    // Writes at most `width` - 1 characters and pads the field with NULs.
    void setText(size_t offset, size_t width, std::string_view s);

    uint16_t u16(size_t offset) const;
    void setU16(size_t offset, uint16_t v);
    uint8_t u8(size_t offset) const { return bytes[offset]; }
    void setU8(size_t offset, uint8_t v) { bytes[offset] = v; }

    std::string playerName() const {
        return text(profile_offset::kPlayerName, profile_width::kPlayerName);
    }
    std::string stem() const { return text(profile_offset::kStem, profile_width::kStem); }
    std::string saveFolder() const {
        return text(profile_offset::kSaveFolder, profile_width::kSaveFolder);
    }
    std::string loginName() const {
        return text(profile_offset::kLoginName, profile_width::kLoginName);
    }
    std::string secondLobby() const {
        return text(profile_offset::kSecondLobby, profile_width::kSecondLobby);
    }
    // A profile has a lobby account exactly when the login name's first byte is not 0.
    bool hasLobbyAccount() const { return bytes[profile_offset::kLoginName] != 0; }
};

// The key the saver uses at calendar time t: ((t mod 192) + 32) OR 7, always 39..223 with
// its three low bits set.
uint8_t ProfileKeyForTime(std::time_t t);

// The on-disk form of a plain record under key K (the record itself is not changed).
std::array<uint8_t, kProfileSize> ScrambleProfile(const ProfileRecord& plain, uint8_t key);

// The plain record behind up to kProfileSize stored bytes (a short input is taken as
// zero-filled), or nothing when the check byte does not match.
std::optional<ProfileRecord> UnscrambleProfile(const uint8_t* data, size_t size);

}  // namespace zrt
