// Display pixel format probe. (Placeholder until the drawing toolkit lands.)
#include "lobby/platform/display_format.h"

namespace zrt {

int ClassifyDisplayProbe(const DisplayProbe&) { return 0; }
int DisplayPixelFormat() { return 0; }
void OverrideDisplayProbe(std::optional<DisplayProbe>) {}
QImage::Format DisplayImageFormat() { return QImage::Format_RGB32; }

}  // namespace zrt
