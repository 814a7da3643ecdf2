// GIF decoding: header, block loop, extensions and images into logical-screen frames.
#include "lobby/banner/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "playnet/bytes.h"

namespace zrt {
namespace {

constexpr const char* kNoError = "No Error";
constexpr const char* kBadVersion = "Error, Bad GIF Version number";
constexpr const char* kNoScreenDescriptor =
    "Error, failed to GIF read screen descriptor.\nGiving up";
constexpr const char* kBadGlobalMap = "Error reading GIF colormap";
constexpr const char* kNonSquare = "Non-square pixels in GIF image.\nIgnoring that fact...";
constexpr const char* kUnexpectedEof = "Unexpected EOF in GIF.\nGiving up";
constexpr const char* kBadExtension = "Error on extension read.\nGiving up";
constexpr const char* kBadDimensions = "Error on dimension read\nGiving up";
constexpr const char* kOutOfMemory = "Out of Memory in GIFRead";
constexpr const char* kBadLocalMap = "Error reading GIF colormap\nGiving up";
constexpr const char* kBadLocalPixels = "Error reading GIF file\nLocalColorMap\nGiving up";
constexpr const char* kBadGlobalPixels = "Error reading GIF file\nGIFScreen Colormap\nGiving up";

// The rows of an image in the order its pixels arrive: straight down, or in the four passes
// of an interlaced image (every 8th row from 0, every 8th from 4, every 4th from 2, every
// 2nd from 1).
class RowOrder {
  public:
    RowOrder(int top, int height, bool interlaced)
        : top_(top), height_(height), interlaced_(interlaced) {
        y_ = 0;
        if (interlaced_) settle();
    }
    bool done() const { return interlaced_ ? pass_ >= 4 : y_ >= height_; }
    int row() const { return top_ + y_; }
    void advance() {
        if (!interlaced_) {
            ++y_;
            return;
        }
        y_ += kStep[pass_];
        settle();
    }

  private:
    // Moves to the next pass while the current one has run past the image.
    void settle() {
        while (pass_ < 4 && y_ >= height_) {
            ++pass_;
            if (pass_ < 4) y_ = kStart[pass_];
        }
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    int top_, height_;
    bool interlaced_;
    int pass_ = 0;
    int y_ = 0;
};

}  // namespace

void GifDecoder::Reset() {
    data_ = nullptr;
    length_ = 0;
    pos_ = 0;
    error_ = kNoError;
    firstFrame_ = false;
    transparent_ = -1;
    delay_ = -1;
    userInput_ = -1;
    disposal_ = 0;
    loopCount_ = 0;
    loopForever_ = false;
    screenWidth_ = screenHeight_ = 0;
    background_ = aspect_ = 0;
    std::memset(global_, 0, sizeof global_);
    std::memset(local_, 0, sizeof local_);
}

bool GifDecoder::readHeader(bool startOver) {
    pos_ = 0;
    if (length_ < 6 || std::memcmp(data_, "GIF", 3) != 0) return false;
    if (std::memcmp(data_ + 3, "87a", 3) != 0 && std::memcmp(data_ + 3, "89a", 3) != 0) {
        fail(kBadVersion);
        return false;
    }
    pos_ = 6;
    playnet::ByteReader r(data_ + pos_, length_ - pos_);
    uint16_t width = r.u16();
    uint16_t height = r.u16();
    uint8_t packed = r.u8();
    uint8_t background = r.u8();
    uint8_t aspect = r.u8();
    if (!r.ok()) {
        if (startOver) fail(kNoScreenDescriptor);
        return false;
    }
    pos_ += 7;
    screenWidth_ = width;
    screenHeight_ = height;
    background_ = background;
    aspect_ = aspect;
    if (packed & 0x80) {
        size_t entries = size_t{2} << (packed & 7);
        if (length_ - pos_ < entries * 3) {
            fail(kBadGlobalMap);
            return false;
        }
        std::memcpy(global_, data_ + pos_, entries * 3);
        pos_ += entries * 3;
    }
    if (aspect_ != 0 && aspect_ != 49) fail(kNonSquare);
    return true;
}

bool GifDecoder::skipSubBlocks() {
    for (;;) {
        if (pos_ >= length_) return false;
        size_t n = data_[pos_++];
        if (n == 0) return true;
        if (length_ - pos_ < n) return false;
        pos_ += n;
    }
}

bool GifDecoder::readExtension(int& frameDelay) {
    if (pos_ >= length_) {
        fail(kBadExtension);
        return false;
    }
    uint8_t label = data_[pos_++];
    // Reads one sub-block into a zeroed buffer; its length, or -1 when the data ends.
    uint8_t block[256];
    auto subBlock = [&]() -> int {
        std::memset(block, 0, sizeof block);
        if (pos_ >= length_) return -1;
        size_t n = data_[pos_++];
        if (length_ - pos_ < n) return -1;
        std::memcpy(block, data_ + pos_, n);
        pos_ += n;
        return static_cast<int>(n);
    };
    bool ok = true;
    if (label == 0xF9) {
        int n = subBlock();
        if (n < 0)
            ok = false;
        else if (n > 0) {
            disposal_ = (block[0] >> 2) & 7;
            userInput_ = (block[0] >> 1) & 1;
            delay_ = block[1] | (block[2] << 8);
            transparent_ = (block[0] & 1) ? block[3] : -1;
            ok = skipSubBlocks();
        }
    } else if (label == 0xFF) {
        int n = subBlock();  // the application identifier, not examined
        if (n < 0)
            ok = false;
        else if (n > 0) {
            int m = subBlock();
            if (m < 0)
                ok = false;
            else if (m > 0) {
                if (m == 3) {
                    if (block[0] == 1)
                        loopCount_ = static_cast<uint16_t>(block[1] | (block[2] << 8));
                    if (loopCount_ == 0) loopForever_ = true;
                }
                ok = skipSubBlocks();
            }
        }
    } else {
        ok = skipSubBlocks();
    }
    if (!ok) {
        fail(kUnexpectedEof);
        return false;
    }
    if (delay_ > 0) frameDelay = delay_;
    return true;
}

std::optional<GifFrame> GifDecoder::DecodeNextFrame(const uint8_t* data, size_t length) {
    data_ = data;
    length_ = data ? length : 0;
    int frameDelay = 0;
    // A pass over the whole data that finds no image must not start over again within the
    // same call, or data without images would never end the call.
    bool startedOver = false;
    bool startOver = false;
    for (;;) {
        if (!startOver && loopCount_ == 0 && !loopForever_) {
            if (!readHeader(false)) return std::nullopt;
            firstFrame_ = true;
        } else if (!startOver && pos_ + 1 < length_) {
            firstFrame_ = false;
        } else {
            if (!readHeader(true)) return std::nullopt;
            firstFrame_ = true;
            if (loopCount_ > 0) --loopCount_;
        }
        startOver = false;
        // The block loop.
        while (!startOver) {
            if (pos_ >= length_) {
                fail(kUnexpectedEof);
                return std::nullopt;
            }
            uint8_t b = data_[pos_++];
            if (b == 0x3B) {
                if (pos_ + 1 >= length_) {
                    if (startedOver) {
                        fail(kUnexpectedEof);
                        return std::nullopt;
                    }
                    startedOver = true;
                    frameDelay = 0;
                    // From the top, as at the start of a call.
                    if (loopCount_ == 0 && !loopForever_) {
                        if (!readHeader(false)) return std::nullopt;
                        firstFrame_ = true;
                    } else {
                        startOver = true;
                    }
                }
            } else if (b == 0x21) {
                if (!readExtension(frameDelay)) return std::nullopt;
            } else if (b == 0x2C) {
                auto frame = readImage();
                if (frame) frame->delay = frameDelay;
                return frame;
            }
        }
    }
}

std::optional<GifFrame> GifDecoder::readImage() {
    playnet::ByteReader r(data_ + pos_, length_ - pos_);
    int left = r.u16();
    int top = r.u16();
    int width = r.u16();
    int height = r.u16();
    uint8_t packed = r.u8();
    if (!r.ok()) {
        fail(kBadDimensions);
        return std::nullopt;
    }
    pos_ += 9;
    if (screenWidth_ > kGifMaxScreenSide || screenHeight_ > kGifMaxScreenSide) {
        fail(kOutOfMemory);
        return std::nullopt;
    }
    GifFrame frame;
    try {
        frame.pixels.resize(size_t(screenWidth_) * size_t(screenHeight_) * 3);
    } catch (const std::bad_alloc&) {
        fail(kOutOfMemory);
        return std::nullopt;
    }
    // Fill colour: the background on a first frame; on later frames the transparent colour
    // (the key the pane leaves out), or the background when there is no transparency.
    int fillIndex = (!firstFrame_ && transparent_ >= 0) ? transparent_ : background_;
    const uint8_t* fill = global_[fillIndex];
    for (size_t i = 0; i < frame.pixels.size(); i += 3) {
        frame.pixels[i] = fill[0];
        frame.pixels[i + 1] = fill[1];
        frame.pixels[i + 2] = fill[2];
    }
    bool ok;
    if (packed & 0x80) {
        size_t entries = size_t{1} << ((packed & 7) + 1);
        if (length_ - pos_ < entries * 3) {
            fail(kBadLocalMap);
            return std::nullopt;
        }
        std::memset(local_, 0, sizeof local_);
        std::memcpy(local_, data_ + pos_, entries * 3);
        pos_ += entries * 3;
        ok = decodePixels(local_, left, top, width, height, packed & 0x40, frame.pixels);
        if (!ok) fail(kBadLocalPixels);
    } else {
        ok = decodePixels(global_, left, top, width, height, packed & 0x40, frame.pixels);
        if (!ok) fail(kBadGlobalPixels);
    }
    if (!ok) return std::nullopt;
    frame.imageWidth = width;
    frame.imageHeight = height;
    frame.imageLeft = left;
    frame.imageTop = top;
    frame.screenWidth = screenWidth_;
    frame.screenHeight = screenHeight_;
    if (transparent_ >= 0) {
        frame.keyRed = global_[transparent_][0];
        frame.keyGreen = global_[transparent_][1];
        frame.keyBlue = global_[transparent_][2];
    }
    return frame;
}

bool GifDecoder::decodePixels(const uint8_t (*table)[3], int left, int top, int width, int height,
                              bool interlaced, std::vector<uint8_t>& screen) {
    if (pos_ >= length_) return false;
    int minCodeSize = data_[pos_++];
    if (!lzw_.start(data_, length_, pos_, minCodeSize)) return false;

    // Colour of every value; on a first frame the transparent index shows the background.
    uint8_t palette[256][3];
    std::memcpy(palette, table, sizeof palette);
    if (firstFrame_ && transparent_ >= 0) std::memcpy(palette[transparent_], table[background_], 3);

    // Only the part of the image inside the logical screen is written; the code stream is
    // decoded up to the last row that shows and then skipped.
    const int x0 = std::max(left, 0), x1 = std::min(left + width, screenWidth_);
    long lastVisible = -1;
    if (x0 < x1) {
        long index = 0;
        for (RowOrder rows(top, height, interlaced); !rows.done(); rows.advance(), ++index)
            if (rows.row() < screenHeight_) lastVisible = index;
    }
    if (lastVisible >= 0) {
        row_.resize(static_cast<size_t>(width));
        long index = 0;
        for (RowOrder rows(top, height, interlaced); index <= lastVisible;
             rows.advance(), ++index) {
            size_t got = lzw_.read(row_.data(), row_.size());
            int y = rows.row();
            if (y < screenHeight_) {
                int xEnd = std::min(x1, left + static_cast<int>(got));
                uint8_t* out = screen.data() + (size_t(y) * size_t(screenWidth_) + size_t(x0)) * 3;
                const uint8_t* in = row_.data() + (x0 - left);
                for (int x = x0; x < xEnd; ++x, out += 3) {
                    const uint8_t* c = palette[*in++];
                    out[0] = c[0];
                    out[1] = c[1];
                    out[2] = c[2];
                }
            }
            if (got < row_.size()) break;  // the stream stopped early
        }
    }
    // Whatever follows the pixels up to the data's terminator belongs to this image.
    lzw_.skipToTerminator();
    pos_ = lzw_.position();
    return true;
}

std::optional<GifImageSize> GifSize(const uint8_t* data, size_t length) {
    GifDecoder decoder;
    auto frame = decoder.DecodeNextFrame(data, length);
    if (!frame) return std::nullopt;
    return GifImageSize{frame->imageWidth, frame->imageHeight};
}

}  // namespace zrt
