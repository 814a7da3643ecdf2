// BannerAnimation: what the banner pane shows of a GIF banner. It keeps the composed image
// (the logical screen as it stands) and the pending frame (the next one decoded), and on each
// animation step lays the pending frame over the composed image: the frame's rectangle is
// cleared to the background colour first when its disposal method is 2, and pixels of its key
// colour are left out. Plain C++; the pane drives it from its animation timer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "lobby/banner/gif_decoder.h"

namespace zrt {

// A 24-bit image in blue-green-red order, top row first, rows padded to a multiple of 4 bytes.
struct BannerImage {
    std::vector<uint8_t> pixels;
    size_t stride = 0;
    int width = 0;
    int height = 0;
};

class BannerAnimation {
  public:
    // Starts over on a banner (the bytes are copied): the first frame becomes the composed
    // image and its delay the current delay, the second frame is pending and its delay the
    // next delay. Without a decodable first frame there is no image and both delays are 0.
    void Start(const uint8_t* data, size_t length);
    // Forgets the banner and both images.
    void Clear();

    // One animation step: lays the pending frame over the composed image, then decodes the
    // frame after it. When that decode fails the pending frame stays as it was.
    void Compose();
    // Makes the next delay the current one (the pane does so each time it arms its timer).
    void AdvanceDelay() { currentDelay_ = nextDelay_; }

    const std::optional<BannerImage>& image() const { return composed_; }
    int currentDelay() const { return currentDelay_; }
    int nextDelay() const { return nextDelay_; }

  private:
    struct Pending {
        BannerImage image;
        int left = 0, top = 0, width = 0, height = 0;
        int key[3] = {-1, -1, -1};  // blue, green, red of the key colour; -1 without one
        int disposal = 0;
        uint8_t background[3] = {};  // blue, green, red
    };

    // The next frame of the banner, swapped to blue-green-red and padded, with its delay.
    std::optional<Pending> decodeNext(int& delay);

    std::vector<uint8_t> data_;
    GifDecoder decoder_;
    std::optional<BannerImage> composed_;
    std::optional<Pending> pending_;
    int currentDelay_ = 0;
    int nextDelay_ = 0;
};

}  // namespace zrt
