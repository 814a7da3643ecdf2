// Reads the input as a registration file, from a real file found through XDG_CONFIG_HOME as
// the lobby finds the game's: what parses must be written and read back unchanged, and its
// GUID text, when it parses, must print and parse to the same id. The input is also read
// directly as GUID text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "playnet/guid.h"
#include "playnet/registration.h"

namespace {

void CheckGuid(const std::string& text) {
    std::optional<playnet::Guid> g = playnet::Guid::Parse(text);
    if (!g) return;
    const std::string printed = g->ToString();
    FUZZ_CHECK(printed.size() == 38);
    std::optional<playnet::Guid> again = playnet::Guid::Parse(printed);
    FUZZ_CHECK(again && *again == *g);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string home = (zrtfuzz::FuzzDir("registration") / "config").string();
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", home.c_str(), 1);
    std::filesystem::create_directories(home + "/playnet/applications");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckGuid(text);
    const auto file = zrtfuzz::FuzzDir("registration") / "config/playnet/applications/Fuzz.ini";
    if (!zrtfuzz::WriteFile(file, data, size)) return 0;
    std::optional<playnet::AppRegistration> reg = playnet::ReadRegistration("Fuzz");
    FUZZ_CHECK(reg.has_value() == playnet::ParseRegistration(text).has_value());
    if (!reg) return 0;
    CheckGuid(reg->guid);
    FUZZ_CHECK(playnet::WriteRegistration("Again", *reg));
    std::optional<playnet::AppRegistration> back = playnet::ReadRegistration("Again");
    FUZZ_CHECK(back && back->path == reg->path && back->file == reg->file &&
               back->guid == reg->guid);
    return 0;
}
