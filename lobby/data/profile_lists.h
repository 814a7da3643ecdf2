// The lobby's view of the local player profiles: one ProfileEntry per profile file, kept in a
// registered and an unregistered list (20 entries each), and the entry of the player who
// logged in. Every change to a profile reads its file afresh, alters a few fields and writes
// it back; no whole profile is kept in memory.
//
// Threads: the lists are filled and changed on the UI thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "lobby/data/profile_record.h"

namespace zrt {

constexpr size_t kMaxProfilesPerList = 20;
constexpr size_t kMaxLoginNameChars = 10;

struct ProfileEntry {
    std::string stem;         // at most 8 characters
    std::string saveFolder;   // at most 8 characters
    std::string playerName;   // at most 20 characters
    int32_t registered = 0;   // 1 in the registered list, 0 in the unregistered one
    std::string loginName;    // at most 10 characters
    std::string secondLobby;  // at most 20 characters
    uint16_t portrait = 0;
    uint16_t country = 0;
    uint16_t score = 0;
    uint16_t won = 0;
    uint16_t lost = 0;
    uint16_t quit = 0;
    uint16_t gems = 0;
    uint8_t loginCount = 0;
    uint8_t lobbyByte = 0;
};

struct ProfileLists {
    std::vector<ProfileEntry> registered;    // RegisteredProfiles, at most 20
    std::vector<ProfileEntry> unregistered;  // UnregisteredProfiles, at most 20
    ProfileEntry currentPlayer;              // CurrentPlayer: copy of a registered entry
};

// The lists the lobby keeps for the whole run.
ProfileLists& Profiles();

// What a load-change-save operation ran into; the UI shows the matching message.
enum class ProfileResult { Ok, LoadFailed, SaveFailed };

// "Error loading Profile", "Error saving Profile", or "" for Ok.
const char* ProfileErrorText(ProfileResult r);

// The list entry for a loaded record: registered when it has a lobby account (then with the
// account figures, won/quit derived from the played count), otherwise only stem, save folder
// and player name.
ProfileEntry EntryFromRecord(const ProfileRecord& record);

// Rebuilds both lists from the "*.PRF" files in gameDir, in directory order. Files that do
// not load are skipped. The scan stops as soon as either list holds 20 entries.
void ScanProfiles(const std::filesystem::path& gameDir, ProfileLists& lists);

// After the server accepted a new account: writes the lobby section (login name, portrait,
// country, score 100, no games, 5 gemstones, login counter 1) into the chosen unregistered
// profile.
ProfileResult RegisterProfile(const std::filesystem::path& gameDir, const ProfileLists& lists,
                              size_t unregisteredIndex, const std::string& loginName,
                              uint16_t portrait, uint16_t country);

// After a successful login: sets the portrait, counts the login (8-bit, 255 wraps to 0) and
// adds the grant (1-20, anything else counts as 0) to the gemstones, in the file and in the
// registered entry.
ProfileResult RecordLogin(const std::filesystem::path& gameDir, ProfileLists& lists,
                          size_t registeredIndex, uint16_t portrait, int grant);

// Just before a launch: start mode 1 (no saved game) or 2 with the saved game's name, and the
// gemstone-hall flag, written into the current player's profile.
ProfileResult StoreLaunchSettings(const std::filesystem::path& gameDir, const ProfileEntry& current,
                                  const std::optional<std::string>& savedGame, bool gemstoneHall);

}  // namespace zrt
