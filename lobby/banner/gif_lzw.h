// The variable-length-code LZW decompressor of GIF image data.
//
// Codes are packed least-significant bit first across the image's data sub-blocks (a length
// byte, then that many bytes; a zero length ends the series). Every read is bounded by the
// data length given to start(): data that ends early reads as an exhausted stream. The string
// stack is bounded, so corrupt code tables (chains that loop or run too long) end decoding
// with an error instead of overrunning anything.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zrt {

class GifLzw {
  public:
    static constexpr int kMaxCodes = 4096;
    static constexpr int kStackSize = 8192;
    static constexpr int kMaxMinCodeSize = 11;  // the tables hold 4096 codes
    static constexpr int kError = -1;           // corrupt or exhausted stream
    static constexpr int kEnd = -2;             // end code met

    // Begins a code stream whose first sub-block starts at data[pos]. False (and nothing
    // started) for a minimum code size above 11.
    bool start(const uint8_t* data, size_t length, size_t pos, int minCodeSize);

    // The next pixel value (0-255), or kError / kEnd.
    int next();

    // Fills up to n values; returns how many were produced (fewer only when the stream
    // stopped with kError or kEnd).
    size_t read(uint8_t* out, size_t n);

    // Consumes the rest of the sub-block series up to and including its zero-length
    // terminator (or to the end of the data).
    void skipToTerminator();

    // Position in the data just after what has been consumed.
    size_t position() const { return pos_; }

  private:
    int readCode();
    void resetTable();
    int firstAfterReset();
    void endMet();
    int expand(int code);
    bool expandInto(int code, uint8_t* out, size_t room, size_t& written);
    void addEntry();

    const uint8_t* data_ = nullptr;
    size_t length_ = 0;
    size_t pos_ = 0;
    size_t blockLeft_ = 0;         // bytes left in the current sub-block
    bool terminatorSeen_ = false;  // the series is over (terminator read or data ended)
    uint32_t bits_ = 0;
    int bitCount_ = 0;

    int minSize_ = 0;
    int codeSize_ = 0;
    int clear_ = 0;
    int end_ = 0;
    int nextFree_ = 0;
    int limit_ = 0;
    int prev_ = 0;
    int firstChar_ = 0;
    bool fresh_ = true;  // no value taken since the last reset

    uint16_t prefix_[kMaxCodes] = {};
    uint8_t suffix_[kMaxCodes] = {};
    // Length of each code's string when known (0: unknown, e.g. after corrupt codes); lets
    // read() write a string straight into the output instead of through the stack.
    uint16_t strLength_[kMaxCodes] = {};
    uint8_t stack_[kStackSize] = {};
    int sp_ = 0;
};

}  // namespace zrt
