// Scanning the profile files into the two lists, and the lobby's three profile updates.
#include "lobby/data/profile_lists.h"

#include <system_error>

#include "lobby/data/new_account.h"
#include "lobby/data/profile_file.h"

namespace zrt {
namespace fs = std::filesystem;
using namespace profile_offset;

ProfileLists& Profiles() {
    static ProfileLists lists;
    return lists;
}

const char* ProfileErrorText(ProfileResult r) {
    switch (r) {
        case ProfileResult::LoadFailed:
            return "Error loading Profile";
        case ProfileResult::SaveFailed:
            return "Error saving Profile";
        case ProfileResult::Ok:
            break;
    }
    return "";
}

ProfileEntry EntryFromRecord(const ProfileRecord& r) {
    ProfileEntry e;
    e.stem = r.stem();
    e.saveFolder = r.text(kSaveFolder, 9);  // the entry keeps at most 8 characters
    e.playerName = r.playerName();
    if (!r.hasLobbyAccount()) return e;
    e.registered = 1;
    e.loginName = r.loginName().substr(0, kMaxLoginNameChars);
    e.secondLobby = r.secondLobby();
    e.portrait = r.u16(kPortrait);
    e.country = r.u16(kCountry);
    e.score = r.u16(kScore);
    e.gems = r.u16(kGems);
    e.loginCount = r.u8(kLoginCount);
    e.lobbyByte = r.u8(kLobbyByte);
    int played = r.u16(kPlayed), won = r.u16(kWon), lost = r.u16(kLost);
    // The game counts quits as played games that were neither won nor lost; a played count
    // below won + lost is corrected by lowering won (never below 0, even when lost alone
    // exceeds the played count).
    int d = played - won - lost;
    if (d < 0) {
        e.won = static_cast<uint16_t>(played > lost ? played - lost : 0);
        e.quit = 0;
    } else {
        e.won = static_cast<uint16_t>(won);
        e.quit = static_cast<uint16_t>(d);
    }
    e.lost = static_cast<uint16_t>(lost);
    return e;
}

static bool HasProfileExtension(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".PRF") == 0;
}

void ScanProfiles(const fs::path& gameDir, ProfileLists& lists) {
    lists.registered.clear();
    lists.unregistered.clear();
    std::error_code ec;
    fs::directory_iterator it(gameDir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!HasProfileExtension(name) || !it->is_regular_file(ec)) continue;
        ProfileRecord record;
        if (!LoadProfile(gameDir, name, record)) continue;
        ProfileEntry entry = EntryFromRecord(record);
        auto& list = entry.registered ? lists.registered : lists.unregistered;
        list.push_back(std::move(entry));
        if (list.size() >= kMaxProfilesPerList) break;
    }
}

ProfileResult RegisterProfile(const fs::path& gameDir, const ProfileLists& lists,
                              size_t unregisteredIndex, const std::string& loginName,
                              uint16_t portrait, uint16_t country) {
    if (unregisteredIndex >= lists.unregistered.size()) return ProfileResult::LoadFailed;
    ProfileRecord r;
    if (!LoadProfile(gameDir, ProfileFileName(lists.unregistered[unregisteredIndex].stem), r))
        return ProfileResult::LoadFailed;
    r.setText(kLoginName, profile_width::kLoginName, loginName);
    r.setU16(kPortrait, portrait);
    r.setU16(kCountry, country);
    r.setU16(kScore, kNewAccountScore);
    r.setU16(kWon, 0);
    r.setU16(kLost, 0);
    r.setU16(kPlayed, 0);
    r.setU16(kGems, kNewAccountGemstones);
    r.setU8(kLoginCount, 1);
    r.setU8(kLobbyByte, 0);
    return SaveProfile(gameDir, r) ? ProfileResult::Ok : ProfileResult::SaveFailed;
}

ProfileResult RecordLogin(const fs::path& gameDir, ProfileLists& lists, size_t registeredIndex,
                          uint16_t portrait, int grant) {
    if (registeredIndex >= lists.registered.size()) return ProfileResult::LoadFailed;
    if (grant < 1 || grant > 20) grant = 0;
    ProfileEntry& entry = lists.registered[registeredIndex];
    ProfileRecord r;
    if (!LoadProfile(gameDir, ProfileFileName(entry.stem), r)) return ProfileResult::LoadFailed;
    r.setU16(kPortrait, portrait);
    r.setU8(kLoginCount, static_cast<uint8_t>(r.u8(kLoginCount) + 1));
    r.setU16(kGems, static_cast<uint16_t>(r.u16(kGems) + grant));
    if (!SaveProfile(gameDir, r)) return ProfileResult::SaveFailed;
    entry.portrait = portrait;
    entry.gems = static_cast<uint16_t>(entry.gems + grant);
    return ProfileResult::Ok;
}

ProfileResult StoreLaunchSettings(const fs::path& gameDir, const ProfileEntry& current,
                                  const std::optional<std::string>& savedGame, bool gemstoneHall) {
    ProfileRecord r;
    if (!LoadProfile(gameDir, ProfileFileName(current.stem), r)) return ProfileResult::LoadFailed;
    if (savedGame) {
        r.setU8(kStartMode, kContinueSavedGame);
        // A saved-game name may use all 13 bytes of its field; the key byte that follows is 0
        // in every plain record and ends the name for the game.
        std::string name =
            savedGame->substr(0, savedGame->find('\0')).substr(0, profile_width::kSavedGame);
        for (size_t i = 0; i < profile_width::kSavedGame; ++i)
            r.setU8(kSavedGame + i, i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    } else {
        r.setU8(kStartMode, kStartNewGame);
    }
    r.setU8(kGemHall, gemstoneHall ? 1 : 0);
    return SaveProfile(gameDir, r) ? ProfileResult::Ok : ProfileResult::SaveFailed;
}

}  // namespace zrt
