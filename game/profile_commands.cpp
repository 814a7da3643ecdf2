// "zrtgame new-profile" and "zrtgame show-profile": profile files as the game writes them,
// and a readable dump of one.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "game/commands.h"
#include "lobby/data/new_account.h"
#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"

namespace zrtgame {
namespace {

using namespace zrt::profile_offset;
namespace width = zrt::profile_width;

// The game's own data ranges get reproducible bytes derived from the player name, so that
// every profile carries real content the lobby must preserve.
void FillGameData(zrt::ProfileRecord& r, const std::string& seedText) {
    uint32_t s = 2166136261u;
    for (unsigned char c : seedText) s = (s ^ c) * 16777619u;
    auto next = [&s] {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return static_cast<uint8_t>(s);
    };
    auto fill = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) r.bytes[i] = next();
    };
    fill(width::kPlayerName, kStem);  // behind the name's NUL
    fill(kScrambledFrom, kLoginName);
    fill(kLobbyByte + 1, kCheck);
}

int Fail(const char* command, const std::string& message, int status = 2) {
    std::fprintf(stderr, "zrtgame %s: %s\n", command, message.c_str());
    return status;
}

}  // namespace

int RunNewProfile(Options& o) {
    const char* cmd = "new-profile";
    if (!o.onlyKnown({"game-dir", "stem", "name", "save-folder", "login", "second", "portrait",
                      "country", "score", "won", "lost", "played", "gems", "logins", "lobby-byte"}))
        return Fail(cmd, o.error());
    auto stem = o.get("stem");
    auto name = o.get("name");
    if (!stem || !zrt::IsUsableStem(*stem))
        return Fail(cmd, "--stem must be 1-8 characters without '/'");
    if (!name || name->empty() || name->size() > 20)
        return Fail(cmd, "--name must be 1-20 characters");
    std::string folder = o.get("save-folder", *stem);
    if (folder.empty() || folder.size() > 8 || folder.find('/') != std::string::npos)
        return Fail(cmd, "--save-folder must be 1-8 characters without '/'");

    zrt::ProfileRecord r;
    FillGameData(r, *name);
    r.setText(kPlayerName, width::kPlayerName, *name);
    r.setText(kStem, width::kStem, *stem);
    r.setText(kSaveFolder, width::kSaveFolder, folder);
    if (auto login = o.get("login")) {
        if (login->empty() || login->size() > 20)
            return Fail(cmd, "--login must be 1-20 characters");
        auto portrait = o.number("portrait", 0, 18);
        auto country = o.number("country", 220, 234);
        auto score = o.number("score", zrt::kNewAccountScore, 65535);
        auto won = o.number("won", 0, 65535);
        auto lost = o.number("lost", 0, 65535);
        auto played = o.number("played", won.value_or(0) + lost.value_or(0), 65535);
        auto gems = o.number("gems", zrt::kNewAccountGemstones, 65535);
        auto logins = o.number("logins", 1, 255);
        auto lobbyByte = o.number("lobby-byte", 0, 255);
        if (!portrait || !country || !score || !won || !lost || !played || !gems || !logins ||
            !lobbyByte)
            return Fail(cmd, o.error());
        r.setText(kLoginName, width::kLoginName, *login);
        r.setText(kSecondLobby, width::kSecondLobby, o.get("second", ""));
        r.setU16(kPortrait, static_cast<uint16_t>(*portrait));
        r.setU16(kCountry, static_cast<uint16_t>(*country));
        r.setU16(kScore, static_cast<uint16_t>(*score));
        r.setU16(kWon, static_cast<uint16_t>(*won));
        r.setU16(kLost, static_cast<uint16_t>(*lost));
        r.setU16(kPlayed, static_cast<uint16_t>(*played));
        r.setU16(kGems, static_cast<uint16_t>(*gems));
        r.setU8(kLoginCount, static_cast<uint8_t>(*logins));
        r.setU8(kLobbyByte, static_cast<uint8_t>(*lobbyByte));
    }
    std::filesystem::path gameDir = o.get("game-dir", ".");
    std::error_code ec;
    std::filesystem::create_directories(gameDir, ec);
    if (!zrt::SaveProfile(gameDir, r))
        return Fail(cmd, "cannot write " + zrt::ProfileFileName(*stem), 1);
    std::printf("wrote %s\n", (gameDir / zrt::ProfileFileName(*stem)).c_str());
    return 0;
}

int RunShowProfile(Options& o) {
    const char* cmd = "show-profile";
    if (!o.onlyKnown({"game-dir", "stem"})) return Fail(cmd, o.error());
    auto stem = o.get("stem");
    if (!stem) return Fail(cmd, "--stem is required");
    std::string file = zrt::ProfileFileName(*stem);
    zrt::ProfileRecord r;
    switch (zrt::LoadProfileFile(o.get("game-dir", "."), file, r)) {
        case zrt::ProfileLoadStatus::Ok:
            break;
        case zrt::ProfileLoadStatus::CannotOpen:
            return Fail(cmd, file + " does not load: cannot open the file", 1);
        case zrt::ProfileLoadStatus::ReadError:
            return Fail(cmd, file + " does not load: read error", 1);
        case zrt::ProfileLoadStatus::TooShort:
            return Fail(cmd, file + " does not load: shorter than 1443 bytes", 1);
        case zrt::ProfileLoadStatus::BadCheck:
            return Fail(
                cmd, file + " does not load: damaged or not a profile (check byte does not match)",
                1);
    }
    std::printf("player name: %s\nstem: %s\nsave folder: %s\n", r.playerName().c_str(),
                r.stem().c_str(), r.saveFolder().c_str());
    std::printf(
        "start mode: %u\nsaved game: %s\ngemstone hall: %u\n", r.u8(kStartMode),
        std::string(reinterpret_cast<const char*>(&r.bytes[kSavedGame]),
                    strnlen(reinterpret_cast<const char*>(&r.bytes[kSavedGame]), width::kSavedGame))
            .c_str(),
        r.u8(kGemHall));
    if (!r.hasLobbyAccount()) {
        std::printf("lobby account: none\n");
        return 0;
    }
    zrt::ProfileEntry e = zrt::EntryFromRecord(r);
    std::printf(
        "lobby account: %s\nsecond lobby string: %s\nportrait: %u\ncountry: %u\nscore: %u\n",
        r.loginName().c_str(), r.secondLobby().c_str(), e.portrait, e.country, e.score);
    std::printf(
        "won: %u\nlost: %u\nplayed: %u\nquit: %u\ngemstones: %u\nlogins: %u\nlobby byte: %u\n",
        r.u16(kWon), r.u16(kLost), r.u16(kPlayed), e.quit, e.gems, e.loginCount, e.lobbyByte);
    return 0;
}

}  // namespace zrtgame
