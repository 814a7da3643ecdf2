// Ping datagrams.
#include "lobby/platform/ping_packet.h"

namespace zrt {

PingBytes encodePingPacket(const PingPacket& packet) {
    const auto v = static_cast<uint32_t>(packet.sequence);
    return {packet.kind, static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
            static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
}

std::optional<PingPacket> decodePingPacket(const uint8_t* data, size_t size) {
    if (size < kPingPacketSize) return std::nullopt;
    const uint32_t v = uint32_t(data[1]) | uint32_t(data[2]) << 8 | uint32_t(data[3]) << 16 |
                       uint32_t(data[4]) << 24;
    return PingPacket{data[0], static_cast<int32_t>(v)};
}

}  // namespace zrt
