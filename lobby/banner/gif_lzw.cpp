// GIF LZW decompression with a bounded bit reader over the data sub-blocks.
#include "lobby/banner/gif_lzw.h"

#include <cstring>

namespace zrt {

bool GifLzw::start(const uint8_t* data, size_t length, size_t pos, int minCodeSize) {
    if (minCodeSize < 0 || minCodeSize > kMaxMinCodeSize) return false;
    data_ = data;
    length_ = length;
    pos_ = pos < length ? pos : length;
    blockLeft_ = 0;
    terminatorSeen_ = false;
    bits_ = 0;
    bitCount_ = 0;
    minSize_ = minCodeSize;
    clear_ = 1 << minSize_;
    end_ = clear_ + 1;
    std::memset(prefix_, 0, sizeof prefix_);
    std::memset(suffix_, 0, sizeof suffix_);
    std::memset(strLength_, 0, sizeof strLength_);
    for (int i = 0; i < clear_; ++i) {
        suffix_[i] = static_cast<uint8_t>(i);
        strLength_[i] = 1;
    }
    resetTable();
    return true;
}

void GifLzw::resetTable() {
    for (int i = clear_; i < kMaxCodes; ++i) {
        prefix_[i] = 0;
        suffix_[i] = 0;
        strLength_[i] = 0;
    }
    codeSize_ = minSize_ + 1;
    limit_ = 2 * clear_;
    nextFree_ = clear_ + 2;
    sp_ = 0;
    fresh_ = true;
}

int GifLzw::readCode() {
    while (bitCount_ < codeSize_) {
        if (blockLeft_ == 0) {
            if (terminatorSeen_ || pos_ >= length_) {
                terminatorSeen_ = true;
                return kError;
            }
            blockLeft_ = data_[pos_++];
            if (blockLeft_ == 0) {
                terminatorSeen_ = true;
                return kError;
            }
        }
        if (pos_ >= length_) {  // data cut off inside a sub-block
            blockLeft_ = 0;
            terminatorSeen_ = true;
            return kError;
        }
        bits_ |= static_cast<uint32_t>(data_[pos_++]) << bitCount_;
        bitCount_ += 8;
        --blockLeft_;
    }
    int code = static_cast<int>(bits_ & ((1u << codeSize_) - 1));
    bits_ >>= codeSize_;
    bitCount_ -= codeSize_;
    return code;
}

void GifLzw::skipToTerminator() {
    size_t skip = blockLeft_ < length_ - pos_ ? blockLeft_ : length_ - pos_;
    pos_ += skip;
    blockLeft_ = 0;
    while (!terminatorSeen_ && pos_ < length_) {
        size_t n = data_[pos_++];
        if (n == 0) break;
        pos_ += n < length_ - pos_ ? n : length_ - pos_;
    }
    terminatorSeen_ = true;
}

void GifLzw::endMet() {
    if (!terminatorSeen_) skipToTerminator();
}

// The first code after a reset starts a new string: it must be a literal. The end code there
// ends the data; any other table code is corrupt.
int GifLzw::firstAfterReset() {
    int code;
    do {
        code = readCode();
    } while (code == clear_);
    if (code < 0) return kError;
    if (code == end_) {
        endMet();
        return kEnd;
    }
    if (code > end_) return kError;
    fresh_ = false;
    prev_ = code;
    firstChar_ = code;
    return code & 0xFF;
}

int GifLzw::next() {
    if (sp_ > 0) return stack_[--sp_];
    if (fresh_) return firstAfterReset();
    int code = readCode();
    if (code < 0) return kError;
    if (code == clear_) {
        resetTable();
        return firstAfterReset();
    }
    if (code == end_) {
        endMet();
        return kEnd;
    }
    return expand(code);
}

// Defines the next table entry: the previous string followed by the first character of the
// current one.
void GifLzw::addEntry() {
    if (nextFree_ >= kMaxCodes) return;
    prefix_[nextFree_] = static_cast<uint16_t>(prev_);
    suffix_[nextFree_] = static_cast<uint8_t>(firstChar_);
    int prevLength = prev_ < kMaxCodes ? strLength_[prev_] : 0;
    strLength_[nextFree_] =
        (prevLength > 0 && prevLength < kMaxCodes) ? static_cast<uint16_t>(prevLength + 1) : 0;
    ++nextFree_;
    if (nextFree_ >= limit_ && limit_ < kMaxCodes) {
        limit_ *= 2;
        ++codeSize_;
    }
}

// The string of a table code pushed onto the stack (reversed); returns its first value.
int GifLzw::expand(int code) {
    const int incoming = code;
    if (code >= nextFree_) {  // the string being defined by this very code
        stack_[sp_++] = static_cast<uint8_t>(firstChar_);
        code = prev_;
    }
    while (code >= clear_) {
        if (sp_ >= kStackSize - 1 || prefix_[code] == code) {
            sp_ = 0;
            return kError;
        }
        stack_[sp_++] = suffix_[code];
        code = prefix_[code];
    }
    firstChar_ = suffix_[code];
    stack_[sp_++] = static_cast<uint8_t>(firstChar_);
    addEntry();
    prev_ = incoming;
    return stack_[--sp_];
}

// Writes the whole string of a code straight into out when its length is known and fits;
// false (nothing changed) otherwise, and the stack path takes over.
bool GifLzw::expandInto(int code, uint8_t* out, size_t room, size_t& written) {
    const bool self = code >= nextFree_;
    if (self && code != nextFree_) return false;
    const int base = self ? prev_ : code;
    if (base >= kMaxCodes) return false;
    const size_t baseLength = strLength_[base];
    const size_t total = baseLength + (self ? 1 : 0);
    if (baseLength == 0 || total > room) return false;
    // Walk the chain from the last character back to the first; it must end on a literal
    // after exactly baseLength - 1 steps.
    int c = base;
    for (size_t k = baseLength - 1; k > 0; --k) {
        if (c < clear_) return false;
        out[k] = suffix_[c];
        c = prefix_[c];
    }
    if (c >= clear_) return false;
    out[0] = suffix_[c];
    firstChar_ = out[0];
    if (self) out[baseLength] = out[0];
    addEntry();
    prev_ = code;
    written = total;
    return true;
}

size_t GifLzw::read(uint8_t* out, size_t n) {
    size_t i = 0;
    while (i < n) {
        // Drain the string stack in one go; it holds the current string in reverse.
        while (sp_ > 0 && i < n) out[i++] = stack_[--sp_];
        if (i == n) break;
        if (!fresh_) {
            int code = readCode();
            if (code < 0) break;
            if (code == clear_) {
                resetTable();
                continue;
            }
            if (code == end_) {
                endMet();
                break;
            }
            size_t written = 0;
            if (expandInto(code, out + i, n - i, written)) {
                i += written;
                continue;
            }
            int v = expand(code);
            if (v < 0) break;
            out[i++] = static_cast<uint8_t>(v);
            continue;
        }
        int v = firstAfterReset();
        if (v < 0) break;
        out[i++] = static_cast<uint8_t>(v);
    }
    return i;
}

}  // namespace zrt
