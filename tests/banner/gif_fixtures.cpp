// giflib-based GIF writing and reference decoding for the decoder's tests and benchmarks.
#include "gif_fixtures.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace zrt_test {
namespace {

int WriteToVector(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

struct Reader {
    const std::vector<uint8_t>* data;
    size_t pos;
};

int ReadFromVector(GifFileType* gif, GifByteType* buf, int n) {
    auto* r = static_cast<Reader*>(gif->UserData);
    size_t avail = r->data->size() - r->pos;
    size_t take = std::min(avail, size_t(n));
    std::memcpy(buf, r->data->data() + r->pos, take);
    r->pos += take;
    return static_cast<int>(take);
}

ColorMapObject* MakeMap(const std::vector<Rgb>& table) {
    if (table.empty()) return nullptr;
    std::vector<GifColorType> colours(table.size());
    for (size_t i = 0; i < table.size(); ++i) colours[i] = {table[i].r, table[i].g, table[i].b};
    return GifMakeMapObject(static_cast<int>(table.size()), colours.data());
}

}  // namespace

std::vector<uint8_t> EncodeGif(const GifMovie& m) {
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &err);
    if (!gif) return {};
    EGifSetGifVersion(gif, !m.gif87);
    ColorMapObject* global = MakeMap(m.globalTable);
    EGifPutScreenDesc(gif, m.width, m.height, 8, m.background, global);
    GifFreeMapObject(global);
    if (m.loopCount) {
        const GifByteType app[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        GifByteType loop[] = {1, static_cast<GifByteType>(*m.loopCount & 0xFF),
                              static_cast<GifByteType>(*m.loopCount >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, sizeof app, app);
        EGifPutExtensionBlock(gif, sizeof loop, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const GifImage& im : m.images) {
        if (!m.gif87 && im.control) {
            GraphicsControlBlock gcb{};
            gcb.DisposalMode = im.disposal;
            gcb.DelayTime = im.delay;
            gcb.TransparentColor = im.transparent >= 0 ? im.transparent : NO_TRANSPARENT_COLOR;
            GifByteType ext[4];
            size_t n = EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
        }
        ColorMapObject* local = MakeMap(im.localTable);
        // giflib keeps its copy of a frame's local table until the next frame brings one; a
        // frame without one only forgets the pointer (and EGifCloseFile frees just the last),
        // so the old copy is freed here.
        if (!local && gif->Image.ColorMap) {
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        EGifPutImageDesc(gif, im.left, im.top, im.width, im.height, im.interlaced, local);
        GifFreeMapObject(local);
        // Rows go into the file in the order an interlaced reader expects them.
        std::vector<int> order;
        if (im.interlaced) {
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = start[p]; y < im.height; y += step[p]) order.push_back(y);
        } else {
            for (int y = 0; y < im.height; ++y) order.push_back(y);
        }
        for (int y : order)
            EGifPutLine(gif, const_cast<GifPixelType*>(im.indexes.data() + size_t(y) * im.width),
                        im.width);
    }
    EGifCloseFile(gif, &err);
    return out;
}

bool MoveImage(std::vector<uint8_t>& gif, int width, int height, int left, int top) {
    if (gif.size() < 13) return false;
    // After the header, the screen descriptor and the global table.
    const size_t start = 13 + ((gif[10] & 0x80) ? 3 * (size_t(2) << (gif[10] & 7)) : 0);
    for (size_t i = start; i + 9 < gif.size(); ++i)
        if (gif[i] == 0x2C && gif[i + 1] == 0 && gif[i + 3] == 0 && gif[i + 5] == width &&
            gif[i + 7] == height) {
            gif[i + 1] = static_cast<uint8_t>(left);
            gif[i + 3] = static_cast<uint8_t>(top);
            return true;
        }
    return false;
}

namespace {

// giflib's reading of the whole file; null when it refuses the file.
GifFileType* Slurp(Reader& reader) {
    int err = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromVector, &err);
    if (gif && DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &err);
        return nullptr;
    }
    return gif;
}

}  // namespace

std::optional<std::vector<RefFrame>> GiflibFrames(const std::vector<uint8_t>& data) {
    Reader reader{&data, 0};
    int err = 0;
    GifFileType* gif = Slurp(reader);
    if (!gif) return std::nullopt;
    const int sw = gif->SWidth, sh = gif->SHeight;
    GifColorType globalTable[256] = {};
    if (gif->SColorMap)
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i)
            globalTable[i] = gif->SColorMap->Colors[i];
    std::vector<RefFrame> frames;
    int transparent = -1, delay = -1;
    for (int k = 0; k < gif->ImageCount; ++k) {
        const SavedImage& im = gif->SavedImages[k];
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, k, &gcb) == GIF_OK) {
            transparent = gcb.TransparentColor;
            delay = gcb.DelayTime;
        }
        RefFrame f;
        f.delay = delay > 0 ? delay : 0;
        int fillIndex = (k > 0 && transparent >= 0) ? transparent : gif->SBackGroundColor;
        GifColorType fill = globalTable[fillIndex];
        f.pixels.resize(size_t(sw) * sh * 3);
        for (size_t i = 0; i < f.pixels.size(); i += 3) {
            f.pixels[i] = fill.Red;
            f.pixels[i + 1] = fill.Green;
            f.pixels[i + 2] = fill.Blue;
        }
        GifColorType table[256] = {};
        if (im.ImageDesc.ColorMap) {
            for (int i = 0; i < im.ImageDesc.ColorMap->ColorCount; ++i)
                table[i] = im.ImageDesc.ColorMap->Colors[i];
        } else {
            std::memcpy(table, globalTable, sizeof table);
        }
        const auto& d = im.ImageDesc;
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                int sx = d.Left + x, sy = d.Top + y;
                if (sx >= sw || sy >= sh) continue;
                int v = im.RasterBits[size_t(y) * d.Width + x];
                if (k == 0 && v == transparent) v = gif->SBackGroundColor;
                uint8_t* p = &f.pixels[(size_t(sy) * sw + sx) * 3];
                p[0] = table[v].Red;
                p[1] = table[v].Green;
                p[2] = table[v].Blue;
            }
        }
        frames.push_back(std::move(f));
    }
    DGifCloseFile(gif, &err);
    return frames;
}

std::optional<std::vector<RefFrame>> GiflibComposed(const std::vector<uint8_t>& data) {
    std::optional<std::vector<RefFrame>> frames = GiflibFrames(data);
    Reader reader{&data, 0};
    int err = 0;
    GifFileType* gif = Slurp(reader);
    if (!frames || !gif) {
        if (gif) DGifCloseFile(gif, &err);
        return std::nullopt;
    }
    const int sw = gif->SWidth, sh = gif->SHeight;
    const GifColorType bg =
        gif->SColorMap ? gif->SColorMap->Colors[gif->SBackGroundColor] : GifColorType{0, 0, 0};
    std::vector<RefFrame> composed{frames->front()};
    for (int k = 1; k < gif->ImageCount; ++k) {
        const SavedImage& im = gif->SavedImages[k];
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, k, &gcb);
        RefFrame f{composed.back().pixels, (*frames)[size_t(k)].delay};
        const auto& d = im.ImageDesc;
        for (int y = std::max(d.Top, 0); y < std::min(d.Top + d.Height, sh); ++y)
            for (int x = std::max(d.Left, 0); x < std::min(d.Left + d.Width, sw); ++x) {
                uint8_t* p = &f.pixels[(size_t(y) * sw + x) * 3];
                if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
                    p[0] = bg.Red;
                    p[1] = bg.Green;
                    p[2] = bg.Blue;
                }
                const int v = im.RasterBits[size_t(y - d.Top) * d.Width + (x - d.Left)];
                if (v == gcb.TransparentColor) continue;
                p[0] = map->Colors[v].Red;
                p[1] = map->Colors[v].Green;
                p[2] = map->Colors[v].Blue;
            }
        composed.push_back(std::move(f));
    }
    DGifCloseFile(gif, &err);
    return composed;
}

std::vector<Rgb> SamplePalette(int n) {
    std::vector<Rgb> p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        p[size_t(i)] = {static_cast<uint8_t>(i * 37 + 11), static_cast<uint8_t>(255 - i * 13),
                        static_cast<uint8_t>((i * i) ^ 0x5A)};
    return p;
}

// Banner-like content: a diagonal gradient with blocky "lettering" that moves per frame.
static std::vector<uint8_t> BannerPixels(int w, int h, int frame, int colours) {
    std::vector<uint8_t> px(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int v = ((x + frame * 7) / 6 + y / 4) % (colours / 2);
            bool letter =
                ((x + frame * 11) / 9 % 5 != 0) && (y / 6 % 3 == 1) && ((x / 3 + y) % 7 < 4);
            px[size_t(y) * w + x] = static_cast<uint8_t>(letter ? colours - 1 - (x / 40) % 4 : v);
        }
    return px;
}

GifMovie AnimatedBanner(int frames) {
    GifMovie m;
    m.width = 468;
    m.height = 60;
    m.globalTable = SamplePalette(64);
    m.loopCount = 0;
    for (int f = 0; f < frames; ++f) {
        GifImage im;
        im.width = 468;
        im.height = 60;
        im.delay = 20;
        im.indexes = BannerPixels(468, 60, f, 64);
        m.images.push_back(std::move(im));
    }
    return m;
}

GifMovie StillBanner() {
    GifMovie m = AnimatedBanner(1);
    m.loopCount.reset();
    m.images[0].control = false;
    return m;
}

GifMovie LargePicture() {
    GifMovie m;
    m.width = m.height = 1000;
    m.globalTable = SamplePalette(256);
    GifImage im;
    im.width = im.height = 1000;
    im.control = false;
    im.indexes.resize(1000 * 1000);
    uint32_t s = 12345;
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x) {
            s = s * 1103515245u + 12345u;
            int noise = (s >> 28) & 3;  // a little noise, as in a dithered photo
            im.indexes[size_t(y) * 1000 + x] = static_cast<uint8_t>((x / 4 + y / 5 + noise) & 0xFF);
        }
    m.images.push_back(std::move(im));
    return m;
}

}  // namespace zrt_test
