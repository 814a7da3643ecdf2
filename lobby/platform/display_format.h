// The display's pixel format, as the start-up check and the picture loaders need it.
#pragma once

#include <QImage>
#include <cstdint>
#include <optional>

namespace zrt {

// What a 1 x 1 screen-compatible bitmap reports: its bits per pixel and, for 16-bit displays,
// the two raw bytes that pure red (255, 0, 0) is stored as.
struct DisplayProbe {
    int bitsPerPixel = 32;
    uint8_t redBytes[2] = {0, 0};
};

// The display's pixel formats, numbered as the start-up check has always counted them.
enum class PixelFormat {
    Bits32 = 0,
    Bits24 = 1,
    Rgb565 = 2,  // 16 bits
    Rgb555 = 3,  // 16 bits
    Bits8 = 4,
    Bits4 = 5,
    Bits1 = 6,
    Other = 7,
};

// True or high colour: the formats the lobby can draw on (32, 24 and both 16-bit layouts).
inline bool IsTrueOrHighColour(PixelFormat format) {
    return format <= PixelFormat::Rgb555;
}

PixelFormat DisplayPixelFormat();

// Classifies a probe (the rule DisplayPixelFormat applies to the real display).
PixelFormat ClassifyDisplayProbe(const DisplayProbe& probe);

// Tests play another display by overriding the probe; nullopt returns to the real display.
void OverrideDisplayProbe(std::optional<DisplayProbe> probe);

// The QImage format of a screen-compatible bitmap on the current display (true or high colour).
QImage::Format DisplayImageFormat();

}  // namespace zrt
