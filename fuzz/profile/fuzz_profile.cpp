// Feeds arbitrary bytes to the profile loader: as stored bytes in memory, and as a real file
// loaded and turned into a list entry; a record that loads must save and load back unchanged.
#include <cstring>
#include <filesystem>

#include "fuzz/support/fuzz_support.h"
#include "lobby/data/profile_file.h"
#include "lobby/data/profile_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path& dir = zrtfuzz::FuzzDir("profile");
    if (auto plain = zrt::UnscrambleProfile(data, size)) {
        zrt::EntryFromRecord(*plain);
        auto again = zrt::ScrambleProfile(*plain, 0x57);
        FUZZ_CHECK(zrt::UnscrambleProfile(again.data(), again.size()));
    }
    if (!zrtfuzz::WriteFile(dir / "FUZZ.PRF", data, size)) return 0;
    zrt::ProfileRecord record;
    if (zrt::LoadProfile(dir, "FUZZ.PRF", record)) {
        zrt::ProfileEntry entry = zrt::EntryFromRecord(record);
        FUZZ_CHECK(entry.loginName.size() <= 10 && entry.stem == "FUZZ");
        zrt::ProfileRecord back;
        FUZZ_CHECK(zrt::SaveProfileWithKey(dir, record, 0xDF));
        FUZZ_CHECK(zrt::LoadProfile(dir, "FUZZ.PRF", back));
        FUZZ_CHECK(std::memcmp(back.bytes.data(), record.bytes.data(), zrt::kProfileSize - 1) == 0);
    }
    return 0;
}
