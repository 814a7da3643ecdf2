// Display pixel format: the primary screen's depth and a 1 x 1 screen-compatible pixmap probe.
#include "lobby/platform/display_format.h"

#include <QColor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <mutex>

namespace zrt {
namespace {

std::mutex g_mutex;
std::optional<DisplayProbe> g_override;
std::optional<PixelFormat> g_cachedFormat;  // the real display's format, probed once

// Probes the real display. Pixmaps exist only on the GUI thread of a running application;
// elsewhere the display is taken to be 32 bits.
DisplayProbe ProbeRealDisplay() {
    DisplayProbe probe;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return probe;
    if (QScreen* screen = QGuiApplication::primaryScreen()) probe.bitsPerPixel = screen->depth();
    if (probe.bitsPerPixel != 16) return probe;

    // A 16-bit display: paint pure red into a screen-compatible pixel and read its two bytes.
    QPixmap pixel(1, 1);
    pixel.fill(QColor(255, 0, 0));
    QImage image = pixel.toImage();
    if (image.depth() != 16) image = image.convertToFormat(QImage::Format_RGB16);
    const uchar* bits = image.constBits();
    probe.redBytes[0] = bits[0];
    probe.redBytes[1] = bits[1];
    return probe;
}

}  // namespace

PixelFormat ClassifyDisplayProbe(const DisplayProbe& probe) {
    switch (probe.bitsPerPixel) {
        case 32:
            return PixelFormat::Bits32;
        case 24:
            return PixelFormat::Bits24;
        case 16:
            return (probe.redBytes[1] & 0x80) ? PixelFormat::Rgb565 : PixelFormat::Rgb555;
        case 8:
            return PixelFormat::Bits8;
        case 4:
            return PixelFormat::Bits4;
        case 1:
            return PixelFormat::Bits1;
        default:
            return PixelFormat::Other;
    }
}

PixelFormat DisplayPixelFormat() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_override) return ClassifyDisplayProbe(*g_override);
    if (!g_cachedFormat) {
        // Cache only a probe made on the GUI thread; a worker asking first gets 32 bits for now.
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        const PixelFormat format = ClassifyDisplayProbe(ProbeRealDisplay());
        if (app && QThread::currentThread() == app->thread()) g_cachedFormat = format;
        return format;
    }
    return *g_cachedFormat;
}

void OverrideDisplayProbe(std::optional<DisplayProbe> probe) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = probe;
}

QImage::Format DisplayImageFormat() {
    switch (DisplayPixelFormat()) {
        case PixelFormat::Bits24:
            return QImage::Format_RGB888;
        case PixelFormat::Rgb565:
            return QImage::Format_RGB16;
        case PixelFormat::Rgb555:
            return QImage::Format_RGB555;
        default:
            return QImage::Format_RGB32;
    }
}

}  // namespace zrt
