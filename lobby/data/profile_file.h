// Loading and saving one profile file (stem plus ".PRF") in the game folder.
//
// Saving never leaves a half-written profile behind: the bytes go to a temporary file in the
// same folder, which is flushed to disk and then renamed over the old file in one step.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "lobby/data/profile_record.h"

namespace zrt {

enum class ProfileLoadStatus {
    Ok,
    CannotOpen,  // missing or unreadable file
    ReadError,
    TooShort,  // fewer than 1443 bytes: a cut-off file is never taken for a profile
    BadCheck,  // damaged or foreign file: the CRC does not match
};

// Profile file name for a stem: the stem followed by ".PRF".
std::string ProfileFileName(const std::string& stem);

// Reads and checks gameDir/fileName (fileName is a bare name, no directory part). Only the
// first 1443 bytes are read; a shorter file is refused (zero-filling it could pass the check
// and then save a profile whose game data is lost). On success
// the record holds the plain content and its stem field is set from the file name (its first
// 8 characters, ended at the first '.'); on failure the record is untouched.
ProfileLoadStatus LoadProfileFile(const std::filesystem::path& gameDir, const std::string& fileName,
                                  ProfileRecord& record);
bool LoadProfile(const std::filesystem::path& gameDir, const std::string& fileName,
                 ProfileRecord& record);

// Writes the record to gameDir/<stem>.PRF under the key of the current time (or `key`).
// False when the stem is unusable as a file name or the file cannot be written; the old file
// is then unchanged. The caller's record is never changed.
bool SaveProfile(const std::filesystem::path& gameDir, const ProfileRecord& record);
bool SaveProfileWithKey(const std::filesystem::path& gameDir, const ProfileRecord& record,
                        uint8_t key);

// The two halves of a save: write the scrambled bytes to a fresh temporary file next to the
// target (flushed to disk) and return its path; then rename it over the target. Split so that
// an interruption between them can be examined; SaveProfile runs both.
std::optional<std::filesystem::path> WriteProfileTemp(const std::filesystem::path& gameDir,
                                                      const ProfileRecord& record, uint8_t key);
bool CommitProfileTemp(const std::filesystem::path& tempFile, const std::filesystem::path& target);

// True when a stem can name a file in the game folder: 1-8 characters, no path separator,
// not "." or "..".
bool IsUsableStem(const std::string& stem);

}  // namespace zrt
