// GIF files for tests and benchmarks, written with giflib's encoder, and giflib's decoding of
// them composed into logical-screen frames the way GifDecoder defines its frames (used as the
// independent reference the decoder is compared with).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zrt_test {

struct Rgb {
    uint8_t r, g, b;
};

struct GifImage {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<Rgb> localTable;   // empty: the global table
    std::vector<uint8_t> indexes;  // width x height, top row first (in display order)
    int transparent = -1;          // written in a graphic-control extension when >= 0 or delay > 0
    int delay = 0;
    bool control = true;  // write a graphic-control extension
    int disposal = 0;     // its disposal method
};

struct GifMovie {
    int width = 0, height = 0;
    bool gif87 = false;
    std::vector<Rgb> globalTable;  // 2..256 entries (a power of two), or empty
    int background = 0;
    int aspect = 0;
    std::optional<int> loopCount;  // writes the looping application extension first
    std::vector<GifImage> images;
};

std::vector<uint8_t> EncodeGif(const GifMovie& movie);

// Moves the image of `width` x `height` (giflib writes no image past the screen) to `left`,
// `top` in an encoded file. False when there is no such image descriptor.
bool MoveImage(std::vector<uint8_t>& gif, int width, int height, int left, int top);

// The frames of one pass through the file: frame k is the logical screen filled with the
// background colour (k == 0) or the transparent colour of the current graphic control (else;
// the background when there is none), with image k drawn over it, clipped to the screen; on
// frame 0 the transparent index shows the background colour. Nothing when giflib refuses the
// file.
struct RefFrame {
    std::vector<uint8_t> pixels;
    int delay = 0;
};
std::optional<std::vector<RefFrame>> GiflibFrames(const std::vector<uint8_t>& gif);

// What the banner pane shows after each frame of one pass: frame 0 as GiflibFrames gives it;
// then each frame's rectangle, clipped to the screen, cleared to the background colour when
// its disposal method is 2, with the frame's pixels laid over it except those of its
// transparent index.
std::optional<std::vector<RefFrame>> GiflibComposed(const std::vector<uint8_t>& gif);

// Sample content: a palette of n colours and banner-like pictures.
std::vector<Rgb> SamplePalette(int n);
GifMovie AnimatedBanner(int frames);  // 468 x 60, looping, full-size frames
GifMovie StillBanner();               // 468 x 60
GifMovie LargePicture();              // 1000 x 1000, 256 colours

}  // namespace zrt_test
