// BMP reader. A file is a 14-byte file header ("BM", size, reserved, pixel-data offset), an
// information header of at least 40 bytes, a palette for 1, 4 and 8 bits, and bottom-up rows
// each padded to a multiple of 4 bytes.
#include "lobby/ui/bitmap_loader.h"

#include <QFile>
#include <bit>
#include <cstdint>
#include <vector>

#include "lobby/platform/display_format.h"
#include "playnet/bytes.h"

namespace zrt {
namespace {

constexpr int kMaxDimension = 16384;
constexpr uint64_t kMaxPixelBytes = 256u * 1024 * 1024;
constexpr uint32_t kMaxHeaderSize = 1024;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

struct Header {
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
};

std::optional<Header> ParseHeaders(const QByteArray& bytes) {
    playnet::ByteReader r(bytes.constData(), static_cast<size_t>(bytes.size()));
    Header h;
    const uint16_t signature = r.u16();
    r.skip(8);  // file size, reserved
    h.pixelOffset = r.u32();
    h.headerSize = r.u32();
    h.width = r.i32();
    h.height = r.i32();
    r.skip(2);  // planes
    h.bitCount = r.u16();
    h.compression = r.u32();
    r.skip(12);  // image size, resolution
    h.coloursUsed = r.u32();
    r.skip(4);  // important colours
    if (!r.ok() || signature != 0x4D42) return std::nullopt;
    return h;
}

bool Supported(const Header& h) {
    if (h.headerSize < 40 || h.headerSize > kMaxHeaderSize) return false;
    // Top-down (negative height) files are not ours; the lobby's pictures are stored bottom-up.
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxDimension || h.height > kMaxDimension)
        return false;
    switch (h.bitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            return h.compression == kBiRgb;
        case 16:
        case 32:
            return h.compression == kBiRgb || h.compression == kBiBitfields;
        default:
            return false;
    }
}

// One colour channel described by a bit mask, scaled to 0-255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (!mask) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    int operator()(uint32_t v) const {
        if (!max) return 0;
        return static_cast<int>((((v & mask) >> shift) * 255u + max / 2) / max);
    }
};

bool ReadExactly(QFile& file, char* out, qint64 n) {
    qint64 done = 0;
    while (done < n) {
        qint64 got = file.read(out + done, n - done);
        if (got <= 0) return false;
        done += got;
    }
    return true;
}

}  // namespace

std::optional<LoadedBitmap> LoadBitmapFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;

    std::optional<Header> parsed = ParseHeaders(file.read(54));
    if (!parsed || !Supported(*parsed)) return std::nullopt;
    const Header h = *parsed;

    // Header bytes beyond the first 40 hold the bit-field masks in the longer header kinds.
    QByteArray extra = file.read(h.headerSize - 40);
    if (extra.size() != static_cast<qsizetype>(h.headerSize - 40)) return std::nullopt;

    // Palette: as many entries as the header declares, at most 2^bits (2^bits when it says 0).
    std::vector<QRgb> palette;
    if (h.bitCount <= 8) {
        uint32_t entries = 1u << h.bitCount;
        if (h.coloursUsed > 0 && h.coloursUsed < entries) entries = h.coloursUsed;
        QByteArray raw = file.read(4 * entries);
        if (raw.size() != static_cast<qsizetype>(4 * entries)) return std::nullopt;
        playnet::ByteReader pr(raw.constData(), static_cast<size_t>(raw.size()));
        for (uint32_t i = 0; i < entries; ++i) {
            const int b = pr.u8(), g = pr.u8(), red = pr.u8();
            pr.skip(1);
            palette.push_back(qRgb(red, g, b));
        }
    }

    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (h.bitCount == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    if (h.compression == kBiBitfields) {
        QByteArray maskBytes;
        if (h.headerSize >= 52) {
            maskBytes = extra.left(12);
        } else if (h.pixelOffset >= 14 + h.headerSize + 12) {
            maskBytes = file.read(12);  // the masks follow a 40-byte header
        }
        if (maskBytes.size() == 12) {
            playnet::ByteReader mr(maskBytes.constData(), 12);
            for (uint32_t& m : masks) m = mr.u32();
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(h.bitCount) * h.width + 7) / 8 + 3) & ~3ull;
    const uint64_t dataSize = stride * static_cast<uint64_t>(h.height);
    if (dataSize > kMaxPixelBytes) return std::nullopt;
    if (static_cast<uint64_t>(file.size()) < static_cast<uint64_t>(h.pixelOffset) + dataSize)
        return std::nullopt;
    if (!file.seek(h.pixelOffset)) return std::nullopt;
    std::vector<uint8_t> data(dataSize);
    if (!ReadExactly(file, reinterpret_cast<char*>(data.data()), static_cast<qint64>(dataSize)))
        return std::nullopt;

    QImage image(h.width, h.height, QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    auto paletteColour = [&palette](uint32_t index) {
        return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
    };

    for (int row = 0; row < h.height; ++row) {
        const uint8_t* src = data.data() + stride * static_cast<uint64_t>(row);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(h.height - 1 - row));
        for (int x = 0; x < h.width; ++x) {
            switch (h.bitCount) {
                case 1:
                    dst[x] = paletteColour((src[x / 8] >> (7 - x % 8)) & 1);
                    break;
                case 4:
                    dst[x] = paletteColour((src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F);
                    break;
                case 8:
                    dst[x] = paletteColour(src[x]);
                    break;
                case 16: {
                    const uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
                    dst[x] = qRgb(red(v), green(v), blue(v));
                    break;
                }
                case 24:
                    dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                    break;
                case 32: {
                    const uint8_t* p = src + 4 * x;
                    const uint32_t v =
                        p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
                    dst[x] = qRgb(red(v), green(v), blue(v));
                    break;
                }
            }
        }
    }

    const QImage::Format format = DisplayImageFormat();
    LoadedBitmap result;
    result.image = format == QImage::Format_RGB32 ? image : image.convertToFormat(format);
    if (result.image.isNull()) return std::nullopt;
    result.bitsPerPixel = h.bitCount & 0xFF;
    return result;
}

}  // namespace zrt
