// Reads the input as the first bytes of Server.txt: a host comes out only when a carriage
// return lies within the first 256 bytes, and it is exactly the bytes before it.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/support/fuzz_support.h"
#include "lobby/app/server_txt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::optional<std::string> host = zrt::ParseServerTxt(bytes);
    const void* cr = std::memchr(data, '\r', size < 256 ? size : 256);
    FUZZ_CHECK(host.has_value() == (cr != nullptr));
    if (host) {
        FUZZ_CHECK(host->size() == size_t(static_cast<const uint8_t*>(cr) - data));
        FUZZ_CHECK(std::memcmp(host->data(), data, host->size()) == 0);
    }
    return 0;
}
