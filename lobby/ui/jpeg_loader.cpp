// JPEG loader. libjpeg reports fatal errors through error_exit, which by default prints and
// ends the process; ours jumps back to the decoder so that a corrupt file is just a failure.
#include "lobby/ui/jpeg_loader.h"

#include <jpeglib.h>

#include <QFile>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "lobby/platform/display_format.h"

namespace zrt {
namespace {

constexpr unsigned kMaxDimension = 16384;
constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void QuietMessage(j_common_ptr) {}

// The decoded rows, owned by the caller so that nothing with a destructor lives in the frame
// that libjpeg may jump back into.
struct Decoded {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3
};

bool Decode(std::FILE* file, Decoded* out) {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.output_message = QuietMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.num_components != 3 || cinfo.image_width == 0 || cinfo.image_height == 0 ||
        cinfo.image_width > kMaxDimension || cinfo.image_height > kMaxDimension ||
        static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->width = cinfo.output_width;
    out->height = cinfo.output_height;
    out->rgb.assign(static_cast<size_t>(out->width) * out->height * 3, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row =
            out->rgb.data() + static_cast<size_t>(cinfo.output_scanline) * out->width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

std::optional<QImage> LoadJpegFile(const QString& path) {
    const PixelFormat format = DisplayPixelFormat();
    if (!IsTrueOrHighColour(format)) return std::nullopt;

    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) return std::nullopt;
    Decoded decoded;
    const bool ok = Decode(file, &decoded);
    std::fclose(file);
    if (!ok) return std::nullopt;

    QImage image(static_cast<int>(decoded.width), static_cast<int>(decoded.height),
                 DisplayImageFormat());
    if (image.isNull()) return std::nullopt;
    for (unsigned y = 0; y < decoded.height; ++y) {
        const uint8_t* src = decoded.rgb.data() + static_cast<size_t>(y) * decoded.width * 3;
        uchar* line = image.scanLine(static_cast<int>(y));
        for (unsigned x = 0; x < decoded.width; ++x) {
            const int r = src[3 * x], g = src[3 * x + 1], b = src[3 * x + 2];
            switch (format) {
                case PixelFormat::Bits32:
                    reinterpret_cast<QRgb*>(line)[x] = qRgb(r, g, b);
                    break;
                case PixelFormat::Bits24:  // Format_RGB888 keeps its bytes in red, green, blue
                                           // order
                    line[3 * x] = static_cast<uchar>(r);
                    line[3 * x + 1] = static_cast<uchar>(g);
                    line[3 * x + 2] = static_cast<uchar>(b);
                    break;
                case PixelFormat::Rgb565:
                    reinterpret_cast<quint16*>(line)[x] =
                        static_cast<quint16>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                    break;
                case PixelFormat::Rgb555:
                    reinterpret_cast<quint16*>(line)[x] =
                        static_cast<quint16>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                    break;
                default:
                    break;
            }
        }
    }
    return image;
}

}  // namespace zrt
