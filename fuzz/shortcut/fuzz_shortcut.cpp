// Reads the input as a shortcut file. An address that comes out is one line; one handed on
// for opening is a web address; and any address written into a shortcut reads back as the
// text the writer kept of it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "lobby/data/url_shortcut.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = zrtfuzz::FuzzDir("shortcut") / "tempURL.url";
    if (!zrtfuzz::WriteFile(file, data, size)) return 0;
    if (std::optional<std::string> url = zrt::ReadShortcutUrl(file)) {
        FUZZ_CHECK(url->find('\n') == std::string::npos && url->size() < 4096);
    }
    if (std::optional<std::string> open = zrt::OpenableShortcutUrl(file)) {
        FUZZ_CHECK(zrt::IsWebAddress(*open));
        for (unsigned char c : *open) FUZZ_CHECK(c > 0x20 && c != 0x7F);
    }

    // The input as an address a server sent.
    const std::string address(reinterpret_cast<const char*>(data), size);
    const std::string text = zrt::UrlShortcutText(address);
    FUZZ_CHECK(text.size() <= 255);
    FUZZ_CHECK(zrt::WriteUrlShortcut(address, file));
    std::optional<std::string> back = zrt::ReadShortcutUrl(file);
    FUZZ_CHECK(back && "[InternetShortcut]\r\nURL=" + *back + "\r\n" == text);
    return 0;
}
