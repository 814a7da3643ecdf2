// Bounds-checked little-endian reading and writing of packed records.
//
// Every wire and file record of the lobby is written field by field through ByteWriter and
// read through ByteReader. The reader never reads past the bytes it was given: a read that
// would pass the end yields zeros and sets a sticky error flag, so a decoder reads every
// field and checks ok() once at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace playnet {

class ByteReader {
  public:
    ByteReader(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    uint8_t u8() {
        uint8_t v = 0;
        take(&v, 1);
        return v;
    }
    uint16_t u16() {
        uint8_t b[2] = {0, 0};
        take(b, 2);
        return static_cast<uint16_t>(b[0] | (b[1] << 8));
    }
    uint16_t u16be() {
        uint8_t b[2] = {0, 0};
        take(b, 2);
        return static_cast<uint16_t>((b[0] << 8) | b[1]);
    }
    uint32_t u32() {
        uint8_t b[4] = {0, 0, 0, 0};
        take(b, 4);
        return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
               (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }

    // Copies n bytes; on a short read the output is zero-filled and the error flag set.
    void bytes(void* out, size_t n) { take(out, n); }

    // A fixed-width text field of `width` bytes: the text up to its first NUL, and never more
    // than width - 1 characters (the field always leaves room for its terminator).
    std::string text(size_t width) {
        if (width == 0) return {};
        size_t avail = remaining() < width ? remaining() : width;
        std::string s = cString(data_ + pos_, avail, width - 1);
        if (avail < width) ok_ = false;
        pos_ += avail;
        return s;
    }

    // Text that runs to its NUL or to the end of the data, cut to maxLen characters. Consumes
    // the text and its NUL (when present).
    std::string textToEnd(size_t maxLen) {
        size_t avail = remaining();
        std::string s = cString(data_ + pos_, avail, maxLen);
        size_t len = strnlen(reinterpret_cast<const char*>(data_ + pos_), avail);
        pos_ += len < avail ? len + 1 : avail;
        return s;
    }

    void skip(size_t n) {
        if (n > remaining()) {
            pos_ = size_;
            ok_ = false;
        } else {
            pos_ += n;
        }
    }

    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return size_ - pos_; }
    bool ok() const { return ok_; }

  private:
    static std::string cString(const uint8_t* p, size_t avail, size_t maxLen) {
        size_t len = strnlen(reinterpret_cast<const char*>(p), avail);
        if (len > maxLen) len = maxLen;
        return std::string(reinterpret_cast<const char*>(p), len);
    }
    void take(void* out, size_t n) {
        if (n > remaining()) {
            std::memset(out, 0, n);
            pos_ = size_;
            ok_ = false;
            return;
        }
        if (n) std::memcpy(out, data_ + pos_, n);
        pos_ += n;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

class ByteWriter {
  public:
    void u8(uint8_t v) { buf_.push_back(v); }
    void u16(uint16_t v) {
        buf_.push_back(static_cast<uint8_t>(v));
        buf_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u16be(uint16_t v) {
        buf_.push_back(static_cast<uint8_t>(v >> 8));
        buf_.push_back(static_cast<uint8_t>(v));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) buf_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void bytes(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        buf_.insert(buf_.end(), b, b + n);
    }
    void zeros(size_t n) { buf_.insert(buf_.end(), n, 0); }

    // A fixed-width text field: at most width - 1 characters, then NULs up to the width.
    void text(std::string_view s, size_t width) {
        if (width == 0) return;
        size_t n = s.size() < width - 1 ? s.size() : width - 1;
        size_t nul = s.find('\0');
        if (nul != std::string_view::npos && nul < n) n = nul;
        bytes(s.data(), n);
        zeros(width - n);
    }
    // Text followed by its NUL, no padding.
    void textNul(std::string_view s) {
        size_t nul = s.find('\0');
        if (nul != std::string_view::npos) s = s.substr(0, nul);
        bytes(s.data(), s.size());
        u8(0);
    }

    size_t size() const { return buf_.size(); }
    const std::vector<uint8_t>& data() const { return buf_; }
    std::vector<uint8_t> take() { return std::move(buf_); }

  private:
    std::vector<uint8_t> buf_;
};

}  // namespace playnet
