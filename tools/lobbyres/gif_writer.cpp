// GIF writing (see gif_writer.h): the frames are reduced to one shared 256-colour palette.
#include "tools/lobbyres/gif_writer.h"

#include "tools/lobbyres/palette.h"

#include <QFile>
#include <QPainter>

#include <gif_lib.h>

namespace lobbyres {
namespace {

bool putFrames(GifFileType* gif, const std::vector<GifFrame>& frames, const IndexedPicture& all, int w, int h) {
    if (frames.size() > 1) {
        // The looping extension must come before the first image.
        static const char kApp[] = "NETSCAPE2.0";
        const unsigned char loop[3] = {1, 0, 0};  // sub-block 1, loop count 0 = forever
        if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
            EGifPutExtensionBlock(gif, 11, kApp) == GIF_ERROR || EGifPutExtensionBlock(gif, 3, loop) == GIF_ERROR ||
            EGifPutExtensionTrailer(gif) == GIF_ERROR)
            return false;
    }
    for (size_t f = 0; f < frames.size(); ++f) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.UserInputFlag = false;
        gcb.DelayTime = frames[f].delayCs;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_ERROR) return false;
        if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR) return false;
        for (int y = 0; y < h; ++y) {
            std::vector<GifPixelType> line(all.indexes.begin() + long((f * size_t(h) + size_t(y)) * size_t(w)),
                                           all.indexes.begin() + long((f * size_t(h) + size_t(y) + 1) * size_t(w)));
            if (EGifPutLine(gif, line.data(), w) == GIF_ERROR) return false;
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
    const IndexedPicture all = reduceColours(strip, 256, {});
    std::vector<GifColorType> colours(256, GifColorType{0, 0, 0});
    for (size_t i = 0; i < all.palette.size(); ++i)
        colours[i] = GifColorType{GifByteType(qRed(all.palette[i])), GifByteType(qGreen(all.palette[i])),
                                  GifByteType(qBlue(all.palette[i]))};
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
    bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, map) != GIF_ERROR && putFrames(gif, frames, all, w, h);
    ok = EGifCloseFile(gif, &error) != GIF_ERROR && ok;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace lobbyres
