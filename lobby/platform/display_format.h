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

// 0 = 32 bits, 1 = 24 bits, 2 = 16 bits 5-6-5, 3 = 16 bits 5-5-5, 4 = 8 bits, 5 = 4 bits,
// 6 = 1 bit, 7 = anything else.
int DisplayPixelFormat();

// Classifies a probe (the rule DisplayPixelFormat applies to the real display).
int ClassifyDisplayProbe(const DisplayProbe& probe);

// Tests play another display by overriding the probe; nullopt returns to the real display.
void OverrideDisplayProbe(std::optional<DisplayProbe> probe);

// The QImage format of a screen-compatible bitmap on the current display (formats 0-3).
QImage::Format DisplayImageFormat();

}  // namespace zrt
