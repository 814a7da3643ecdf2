// BMP writing (see bmp_writer.h). Every header field is written byte by byte, little-endian.
#include "tools/lobbyres/bmp_writer.h"

#include <QFile>
#include <cstdint>
#include <vector>

#include "tools/lobbyres/palette.h"

namespace lobbyres {
namespace {

class ByteSink {
  public:
    void u8(uint32_t v) { bytes.push_back(uint8_t(v & 0xffu)); }
    void u16(uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xffffu);
        u16(v >> 16);
    }
    std::vector<uint8_t> bytes;
};

uint32_t rowStride(int width, int bits) {
    return ((uint32_t(width) * uint32_t(bits) + 31u) / 32u) * 4u;
}

}  // namespace

bool writeBmp(const QString& path, const QImage& source, int bits) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    if (source.isNull()) return false;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    const uint32_t stride = rowStride(width, bits);
    const uint32_t paletteEntries = bits <= 8 ? (1u << bits) : 0u;
    const uint32_t dataOffset = 14u + 40u + 4u * paletteEntries;
    const uint32_t dataSize = stride * uint32_t(height);

    ByteSink out;
    // File header.
    out.u8('B');
    out.u8('M');
    out.u32(dataOffset + dataSize);
    out.u16(0);
    out.u16(0);
    out.u32(dataOffset);
    // Information header; a positive height means the rows are stored bottom-up.
    out.u32(40);
    out.u32(uint32_t(width));
    out.u32(uint32_t(height));
    out.u16(1);
    out.u16(uint32_t(bits));
    out.u32(0);  // no compression
    out.u32(dataSize);
    out.u32(2835);  // 72 dpi
    out.u32(2835);
    out.u32(paletteEntries);
    out.u32(0);

    IndexedPicture indexed;
    if (bits <= 8) {
        indexed = reduceColours(image, int(paletteEntries), {kKeyGreen});
        for (uint32_t i = 0; i < paletteEntries; ++i) {
            const QRgb c = i < indexed.palette.size() ? indexed.palette[i] : qRgb(0, 0, 0);
            out.u8(uint32_t(qBlue(c)));
            out.u8(uint32_t(qGreen(c)));
            out.u8(uint32_t(qRed(c)));
            out.u8(0);
        }
    }

    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        if (bits == 24) {
            const QRgb* px = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                row[size_t(x) * 3] = uint8_t(qBlue(px[x]));
                row[size_t(x) * 3 + 1] = uint8_t(qGreen(px[x]));
                row[size_t(x) * 3 + 2] = uint8_t(qRed(px[x]));
            }
        } else {
            const uint8_t* idx = indexed.indexes.data() + size_t(y) * size_t(width);
            const int perByte = 8 / bits;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - bits * (x % perByte + 1);  // leftmost pixel in the high bits
                row[size_t(x / perByte)] |= uint8_t(idx[x] << shift);
            }
        }
        out.bytes.insert(out.bytes.end(), row.begin(), row.end());
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const qint64 n = qint64(out.bytes.size());
    return file.write(reinterpret_cast<const char*>(out.bytes.data()), n) == n && file.flush();
}

}  // namespace lobbyres
