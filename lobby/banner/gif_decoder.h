// GifDecoder: turns a GIF file held in memory (GIF87a or GIF89a) into whole logical-screen
// images of 24-bit pixels, one frame per call, so that a banner pane can show still and
// animated banners. Successive calls on the same data walk through an animation; a decoder
// that is to read other data is reset first.
//
// Every read is bounded by the data length. The logical screen is limited to 4096 x 4096
// pixels, which bounds every allocation; minimum code sizes above 11 are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/banner/gif_lzw.h"

namespace zrt {

constexpr int kGifMaxScreenSide = 4096;

struct GifFrame {
    std::vector<uint8_t> pixels;  // screenWidth x screenHeight x (red, green, blue), top row first
    int imageWidth = 0;
    int imageHeight = 0;
    int imageLeft = 0;
    int imageTop = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    int delay = 0;  // hundredths of a second, 0 when the frame has none
    // Colour of the transparent index in the global table; all -1 without transparency.
    int keyRed = -1;
    int keyGreen = -1;
    int keyBlue = -1;
};

class GifDecoder {
  public:
    GifDecoder() { Reset(); }

    // The next frame of the animation in data (see the class comment), or nothing on failure
    // (errorText() then says why).
    std::optional<GifFrame> DecodeNextFrame(const uint8_t* data, size_t length);

    // Back to the initial state, for new data.
    void Reset();

    const std::string& errorText() const { return error_; }
    int transparentIndex() const { return transparent_; }
    int delay() const { return delay_; }
    int userInput() const { return userInput_; }
    int disposal() const { return disposal_; }
    uint16_t loopCount() const { return loopCount_; }
    bool loopForever() const { return loopForever_; }
    int screenWidth() const { return screenWidth_; }
    int screenHeight() const { return screenHeight_; }
    // Red, green and blue of the background index in the global table.
    const uint8_t* backgroundColour() const { return global_[background_]; }
    size_t readPosition() const { return pos_; }

  private:
    bool readHeader(bool startOver);
    bool readExtension(int& frameDelay);
    bool skipSubBlocks();
    std::optional<GifFrame> readImage();
    bool decodePixels(const uint8_t (*table)[3], int left, int top, int width, int height,
                      bool interlaced, std::vector<uint8_t>& screen);
    void fail(const char* text) { error_ = text; }

    const uint8_t* data_ = nullptr;
    size_t length_ = 0;
    size_t pos_ = 0;

    std::string error_;
    bool firstFrame_ = false;
    int transparent_ = -1;
    int delay_ = -1;
    int userInput_ = -1;
    int disposal_ = 0;
    uint16_t loopCount_ = 0;
    bool loopForever_ = false;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    uint8_t background_ = 0;
    uint8_t aspect_ = 0;
    uint8_t global_[256][3] = {};
    uint8_t local_[256][3] = {};
    std::vector<uint8_t> row_;
    GifLzw lzw_;
};

struct GifImageSize {
    int width = 0;
    int height = 0;
};

// The image width and height of the first image (a fresh decoder decodes the first frame).
std::optional<GifImageSize> GifSize(const uint8_t* data, size_t length);

}  // namespace zrt
