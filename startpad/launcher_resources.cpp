// Loading the launcher's compiled-in pictures: bitmaps through the lobby's own BMP reader,
// the icon's sizes as PNG.
#include "startpad/launcher_resources.h"

#include <QString>

// The resource file is compiled into a static library, so its registration has to be asked
// for (and outside any namespace).
static void InitLauncherResources() {
    Q_INIT_RESOURCE(startpad_pictures);
}

namespace zrt {
namespace {

void EnsureResources() {
    static const bool done = (InitLauncherResources(), true);
    (void)done;
}

}  // namespace

CachedBitmap LoadLauncherBitmap(int id) {
    EnsureResources();
    CachedBitmap bitmap;
    bitmap.load(QStringLiteral(":/startpad/bitmap%1.bmp").arg(id));
    return bitmap;
}

QIcon LauncherIcon() {
    EnsureResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/startpad/icon%1-%2.png").arg(kIconGroup).arg(size));
    return icon;
}

}  // namespace zrt
