// Reads the input as a received ping datagram: it decodes only with its five bytes at hand,
// and encodes back to exactly those five; the answer to a probe differs only in its kind.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/support/fuzz_support.h"
#include "lobby/platform/ping_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<zrt::PingPacket> p = zrt::decodePingPacket(data, size);
    FUZZ_CHECK(p.has_value() == (size >= zrt::kPingPacketSize));
    if (!p) return 0;
    const zrt::PingBytes again = zrt::encodePingPacket(*p);
    FUZZ_CHECK(std::memcmp(again.data(), data, again.size()) == 0);
    const zrt::PingBytes answer = zrt::encodePingPacket({zrt::kPingAnswer, p->sequence});
    FUZZ_CHECK(answer[0] == zrt::kPingAnswer && std::memcmp(answer.data() + 1, data + 1, 4) == 0);
    return 0;
}
