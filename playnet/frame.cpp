// Frame encoding and the incremental frame decoder.
#include "playnet/frame.h"

namespace playnet {

std::vector<uint8_t> EncodeFrame(uint8_t type, std::span<const uint8_t> body) {
    ByteWriter w;
    w.u32(static_cast<uint32_t>(body.size() + 1));
    w.u8(type);
    w.bytes(body.data(), body.size());
    return w.take();
}

void FrameDecoder::Append(const uint8_t* data, size_t size) {
    if (pos_ > 0) {
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(pos_));
        pos_ = 0;
    }
    buf_.insert(buf_.end(), data, data + size);
}

FrameDecoder::Status FrameDecoder::Next(uint8_t& type, std::span<const uint8_t>& body) {
    if (bad_) return Status::Bad;
    size_t avail = buf_.size() - pos_;
    if (avail < kFramePrefixSize) return Status::NeedMore;
    ByteReader r(buf_.data() + pos_, kFramePrefixSize);
    uint32_t len = r.u32();
    if (len < 1 || len > kMaxFrameLength) {
        bad_ = true;
        return Status::Bad;
    }
    if (avail - kFramePrefixSize < len) return Status::NeedMore;
    const uint8_t* p = buf_.data() + pos_ + kFramePrefixSize;
    type = p[0];
    body = std::span<const uint8_t>(p + 1, len - 1);
    pos_ += kFramePrefixSize + len;
    return Status::Frame;
}

}  // namespace playnet
