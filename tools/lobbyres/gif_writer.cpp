// GIF writing (see gif_writer.h): the frames are reduced to one shared palette of 255 colours
// and a transparent entry.
#include "tools/lobbyres/gif_writer.h"

#include <gif_lib.h>

#include <QFile>
#include <QPainter>
#include <algorithm>

#include "tools/lobbyres/palette.h"

namespace lobbyres {
namespace {

// Later frames carry only what changed: the rectangle around the pixels that differ from the
// frame before, with the unchanged pixels inside it transparent. That keeps an animated banner
// well below the size a banner may have.
constexpr GifPixelType kTransparent = 255;

struct Rect {
    int left = 0, top = 0, width = 1, height = 1;
};

Rect changedRect(const IndexedPicture& all, size_t f, int w, int h) {
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    const size_t size = size_t(w) * size_t(h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * size_t(w) + size_t(x);
            if (all.indexes[f * size + i] == all.indexes[(f - 1) * size + i]) continue;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    if (x1 < 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

bool putFrames(GifFileType* gif, const std::vector<GifFrame>& frames, const IndexedPicture& all,
               int w, int h) {
    if (frames.size() > 1) {
        // The looping extension must come before the first image.
        static const char kApp[] = "NETSCAPE2.0";
        const unsigned char loop[3] = {1, 0, 0};  // sub-block 1, loop count 0 = forever
        if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
            EGifPutExtensionBlock(gif, 11, kApp) == GIF_ERROR ||
            EGifPutExtensionBlock(gif, 3, loop) == GIF_ERROR ||
            EGifPutExtensionTrailer(gif) == GIF_ERROR)
            return false;
    }
    const size_t size = size_t(w) * size_t(h);
    for (size_t f = 0; f < frames.size(); ++f) {
        const Rect r = f == 0 ? Rect{0, 0, w, h} : changedRect(all, f, w, h);
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.UserInputFlag = false;
        gcb.DelayTime = frames[f].delayCs;
        gcb.TransparentColor = f == 0 ? NO_TRANSPARENT_COLOR : kTransparent;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_ERROR) return false;
        if (EGifPutImageDesc(gif, r.left, r.top, r.width, r.height, false, nullptr) == GIF_ERROR)
            return false;
        std::vector<GifPixelType> line(size_t(r.width));
        for (int y = r.top; y < r.top + r.height; ++y) {
            for (int x = r.left; x < r.left + r.width; ++x) {
                const size_t i = size_t(y) * size_t(w) + size_t(x);
                const GifPixelType v = all.indexes[f * size + i];
                line[size_t(x - r.left)] =
                    (f > 0 && v == all.indexes[(f - 1) * size + i]) ? kTransparent : v;
            }
            if (EGifPutLine(gif, line.data(), r.width) == GIF_ERROR) return false;
        }
    }
    return true;
}

}  // namespace

bool writeGif(const QString& path, const std::vector<GifFrame>& frames) {
    if (frames.empty() || frames[0].image.isNull()) return false;
    const int w = frames[0].image.width(), h = frames[0].image.height();

    // Stack the frames into one tall picture so that a single palette fits them all.
    QImage strip(w, h * int(frames.size()), QImage::Format_RGB32);
    {
        QPainter p(&strip);
        for (size_t f = 0; f < frames.size(); ++f) {
            if (frames[f].image.size() != frames[0].image.size()) return false;
            p.drawImage(0, h * int(f), frames[f].image);
        }
    }
    // 255 colours; the last entry is the transparent one of the later frames, given a colour
    // that no picture colour has (a reader may key on the colour rather than the index).
    const IndexedPicture all = reduceColours(strip, 255, {});
    std::vector<GifColorType> colours(256, GifColorType{0, 0, 0});
    for (size_t i = 0; i < all.palette.size(); ++i)
        colours[i] =
            GifColorType{GifByteType(qRed(all.palette[i])), GifByteType(qGreen(all.palette[i])),
                         GifByteType(qBlue(all.palette[i]))};
    QRgb key = qRgb(0, 255, 0);
    while (std::find(all.palette.begin(), all.palette.end(), key) != all.palette.end())
        key = key + 1;
    colours[kTransparent] =
        GifColorType{GifByteType(qRed(key)), GifByteType(qGreen(key)), GifByteType(qBlue(key))};
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    if (!map) return false;

    int error = 0;
    const QByteArray name = QFile::encodeName(path);
    GifFileType* gif = EGifOpenFileName(name.constData(), false, &error);
    if (!gif) {
        GifFreeMapObject(map);
        return false;
    }
    EGifSetGifVersion(gif, true);
    bool ok =
        EGifPutScreenDesc(gif, w, h, 8, 0, map) != GIF_ERROR && putFrames(gif, frames, all, w, h);
    ok = EGifCloseFile(gif, &error) != GIF_ERROR && ok;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace lobbyres
