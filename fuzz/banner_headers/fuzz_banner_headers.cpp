// Reads the input as the header block of an HTTP answer, handed over line by line as libcurl
// does: the redirect address taken from a "Location: " line is the rest of that line without
// the white space around it and its line end, and no other line ever gives one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_support.h"
#include "lobby/banner/banner_fetch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    while (at < block.size()) {
        size_t end = block.find('\n', at);
        end = end == std::string_view::npos ? block.size() : end + 1;
        const std::string_view line = block.substr(at, end - at);
        at = end;
        std::optional<std::string> location = zrt::LocationHeader(line);
        FUZZ_CHECK(location.has_value() == line.starts_with("Location: "));
        if (!location) continue;
        FUZZ_CHECK(location->find('\n') == std::string::npos);
        if (location->empty()) continue;
        for (char edge : {location->front(), location->back()})
            FUZZ_CHECK(edge != ' ' && edge != '\t' && edge != '\r');
        FUZZ_CHECK(line.substr(10).find(*location) != std::string_view::npos);
    }
    return 0;
}
