// The banner's composed image and pending frame.
#include "lobby/banner/banner_animation.h"

#include <algorithm>

#include "lobby/banner/gif_pixels.h"

namespace zrt {

void BannerAnimation::Clear() {
    data_.clear();
    composed_.reset();
    pending_.reset();
    currentDelay_ = 0;
    nextDelay_ = 0;
}

void BannerAnimation::Start(const uint8_t* data, size_t length) {
    Clear();
    if (data && length > 0) data_.assign(data, data + length);
    decoder_.Reset();
    int delay = 0;
    std::optional<Pending> first = decodeNext(delay);
    if (!first) return;
    composed_ = std::move(first->image);
    currentDelay_ = delay;
    pending_ = decodeNext(nextDelay_);
}

std::optional<BannerAnimation::Pending> BannerAnimation::decodeNext(int& delay) {
    std::optional<GifFrame> frame = decoder_.DecodeNextFrame(data_.data(), data_.size());
    if (!frame) return std::nullopt;
    const int w = frame->screenWidth, h = frame->screenHeight;
    if (!SwapRedBlue(frame->pixels, w, h)) return std::nullopt;
    std::optional<PaddedPixels> padded = PadRows(frame->pixels, w, h);
    if (!padded) return std::nullopt;
    Pending p;
    p.image = {std::move(padded->data), padded->stride, w, h};
    p.left = frame->imageLeft;
    p.top = frame->imageTop;
    p.width = frame->imageWidth;
    p.height = frame->imageHeight;
    p.key[0] = frame->keyBlue;
    p.key[1] = frame->keyGreen;
    p.key[2] = frame->keyRed;
    p.disposal = decoder_.disposal();
    const uint8_t* bg = decoder_.backgroundColour();
    p.background[0] = bg[2];
    p.background[1] = bg[1];
    p.background[2] = bg[0];
    delay = frame->delay;
    return p;
}

void BannerAnimation::Compose() {
    if (pending_ && composed_) {
        const Pending& p = *pending_;
        BannerImage& out = *composed_;
        // The frame's rectangle, clipped to both images.
        const int x0 = std::max(p.left, 0);
        const int y0 = std::max(p.top, 0);
        const int x1 = std::min({p.left + p.width, out.width, p.image.width});
        const int y1 = std::min({p.top + p.height, out.height, p.image.height});
        const bool keyed = p.key[0] >= 0;
        for (int y = y0; y < y1; ++y) {
            uint8_t* dst = out.pixels.data() + size_t(y) * out.stride;
            const uint8_t* src = p.image.pixels.data() + size_t(y) * p.image.stride;
            for (int x = x0; x < x1; ++x) {
                uint8_t* d = dst + size_t(x) * 3;
                const uint8_t* s = src + size_t(x) * 3;
                if (p.disposal == 2) std::copy(p.background, p.background + 3, d);
                if (keyed && s[0] == p.key[0] && s[1] == p.key[1] && s[2] == p.key[2]) continue;
                std::copy(s, s + 3, d);
            }
        }
    }
    int delay = 0;
    if (std::optional<Pending> next = decodeNext(delay)) {
        pending_ = std::move(next);
        nextDelay_ = delay;
    }
}

}  // namespace zrt
