// The datagram of the ping probe: 5 bytes, a kind (0 probe, 1 answer) and the prober's
// sequence number, 32-bit little-endian. Bytes after the fifth carry nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zrt {

inline constexpr size_t kPingPacketSize = 5;
inline constexpr uint8_t kPingProbe = 0;
inline constexpr uint8_t kPingAnswer = 1;

struct PingPacket {
    uint8_t kind = kPingProbe;
    int32_t sequence = 0;
};

using PingBytes = std::array<uint8_t, kPingPacketSize>;

PingBytes encodePingPacket(const PingPacket& packet);
// Nothing when fewer than 5 bytes arrived.
std::optional<PingPacket> decodePingPacket(const uint8_t* data, size_t size);

}  // namespace zrt
