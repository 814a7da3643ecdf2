// Framing of the session protocol: every frame is a 32-bit little-endian length L, then L
// bytes: a one-byte frame type and the type's body. L is at least 1 and at most
// kMaxFrameLength; anything else is garbage and ends the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "playnet/bytes.h"

namespace playnet {

inline constexpr size_t kFramePrefixSize = 4;
inline constexpr uint32_t kMaxFrameLength = 64 * 1024;
// The largest application message: what fits in a frame beside the send header.
inline constexpr size_t kMaxMessageSize = kMaxFrameLength - 16;

// The whole frame (prefix, type, body) ready to write.
std::vector<uint8_t> EncodeFrame(uint8_t type, std::span<const uint8_t> body);
inline std::vector<uint8_t> EncodeFrame(uint8_t type, const ByteWriter& body) {
    return EncodeFrame(type, std::span<const uint8_t>(body.data()));
}

// Cuts a received byte stream into frames. Bytes are appended as they arrive; Next() hands
// out complete frames one by one. Memory is bounded by one maximum frame plus one read.
class FrameDecoder {
  public:
    enum class Status { Frame, NeedMore, Bad };

    void Append(const uint8_t* data, size_t size);
    // Frame: `type` and `body` are set; body stays valid until the next Append.
    // Bad: the length prefix is out of range; the stream cannot be resynchronised.
    Status Next(uint8_t& type, std::span<const uint8_t>& body);
    // Bytes received and not yet handed out as a frame.
    size_t Buffered() const { return buf_.size() - pos_; }

  private:
    std::vector<uint8_t> buf_;
    size_t pos_ = 0;
    bool bad_ = false;
};

}  // namespace playnet
