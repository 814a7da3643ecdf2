// Feeds arbitrary bytes to GifDecoder: several calls per input (walking an animation and
// starting over), then the pixel operations on whatever frame came out.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/fuzz_support.h"
#include "lobby/banner/gif_decoder.h"
#include "lobby/banner/gif_pixels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Screens up to the decoder's 4096 x 4096 limit decode correctly but slowly under the
    // sanitizers; the fuzzer spends its time on the parsing instead (large screens are
    // covered by the unit tests).
    if (size >= 10 && long(data[6] | data[7] << 8) * long(data[8] | data[9] << 8) > 512L * 512)
        return 0;
    zrt::GifDecoder decoder;
    for (int call = 0; call < 4; ++call) {
        auto frame = decoder.DecodeNextFrame(data, size);
        if (!frame) continue;
        FUZZ_CHECK(frame->pixels.size() ==
                   size_t(frame->screenWidth) * size_t(frame->screenHeight) * 3);
        zrt::SwapRedBlue(frame->pixels, frame->screenWidth, frame->screenHeight);
        if (auto padded = zrt::PadRows(frame->pixels, frame->screenWidth, frame->screenHeight))
            zrt::FlipRows(padded->data, frame->screenHeight, padded->stride);
    }
    zrt::GifSize(data, size);
    return 0;
}
