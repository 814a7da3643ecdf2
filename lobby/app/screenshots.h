// Screenshots for people without a display: with ZRT_SCREENSHOT_DIR set, every window the
// program shows is saved there as a PNG shortly after it appears. With ZRT_AUTOQUIT_MS set,
// the program ends by itself after that many milliseconds (the offscreen demo has nobody to
// press a button), also when it is still in its start-up boxes then.
#pragma once

#include <QApplication>

namespace zrt {

void InstallScreenshotRecorder(QApplication& app);

}  // namespace zrt
