// JPEG writing through libjpeg's compressor (see jpeg_writer.h). libjpeg's errors end in a
// long jump back to writeRows so that a failure becomes a return value.
#include "tools/lobbyres/jpeg_writer.h"

#include <jpeglib.h>

#include <QByteArray>
#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <vector>

namespace lobbyres {
namespace {

struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}

// Only plain data lives in this frame, so leaving it by the long jump skips no destructor.
bool writeRows(std::FILE* file, const unsigned char* rgb, int width, int height, int quality) {
    jpeg_compress_struct info;
    ErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onJpegError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(info.next_scanline) * size_t(width) * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool writeJpeg(const QString& path, const QImage& source, int quality) {
    if (source.isNull()) return false;
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> rgb(size_t(image.width()) * size_t(image.height()) * 3);
    for (int y = 0; y < image.height(); ++y)
        std::copy_n(image.constScanLine(y), size_t(image.width()) * 3,
                    rgb.data() + size_t(y) * size_t(image.width()) * 3);

    const QByteArray name = QFile::encodeName(path);
    std::FILE* file = std::fopen(name.constData(), "wb");
    if (!file) return false;
    const bool written = writeRows(file, rgb.data(), image.width(), image.height(), quality);
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace lobbyres
