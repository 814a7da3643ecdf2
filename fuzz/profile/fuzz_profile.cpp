// Feeds arbitrary bytes to the profile loader: as stored bytes in memory, and as a real file
// loaded and turned into a list entry; a record that loads must save and load back unchanged.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"

namespace {

const std::filesystem::path& Dir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("zrt-fuzz-profile-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (auto plain = zrt::UnscrambleProfile(data, size)) {
        zrt::EntryFromRecord(*plain);
        auto again = zrt::ScrambleProfile(*plain, 0x57);
        if (!zrt::UnscrambleProfile(again.data(), again.size())) __builtin_trap();
    }
    std::FILE* f = std::fopen((Dir() / "FUZZ.PRF").c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    zrt::ProfileRecord record;
    if (zrt::LoadProfile(Dir(), "FUZZ.PRF", record)) {
        zrt::ProfileEntry entry = zrt::EntryFromRecord(record);
        if (entry.loginName.size() > 10 || entry.stem != "FUZZ") __builtin_trap();
        zrt::ProfileRecord back;
        if (!zrt::SaveProfileWithKey(Dir(), record, 0xDF) || !zrt::LoadProfile(Dir(), "FUZZ.PRF", back) ||
            std::memcmp(back.bytes.data(), record.bytes.data(), zrt::kProfileSize - 1) != 0)
            __builtin_trap();
    }
    return 0;
}
