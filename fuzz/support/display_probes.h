// The four display formats the picture loaders serve (32, 24, 16 bits 5-6-5 and 5-5-5), as
// probes for OverrideDisplayProbe.
#pragma once

#include <cstddef>

#include "lobby/platform/display_format.h"

namespace zrtfuzz {

inline zrt::DisplayProbe DisplayProbeNumber(size_t n) {
    zrt::DisplayProbe p;
    switch (n % 4) {
        case 0:
            p.bitsPerPixel = 32;
            break;
        case 1:
            p.bitsPerPixel = 24;
            break;
        case 2:
            p.bitsPerPixel = 16;
            p.redBytes[1] = 0xF8;
            break;  // 5-6-5
        default:
            p.bitsPerPixel = 16;
            p.redBytes[1] = 0x7C;
            break;  // 5-5-5
    }
    return p;
}

}  // namespace zrtfuzz
