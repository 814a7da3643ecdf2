// Placement of the succession of main windows.
#include "lobby/ui/main_window_rect.h"

namespace zrt {

QRect& MainWindowRect() {
    static QRect rect;
    return rect;
}

QRect CenteredMainWindowRect(const QRect& screen, int frameWidth, int captionHeight) {
    int w = kMainClientWidth + 2 * frameWidth;
    int h = kMainClientHeight + captionHeight + 2 * frameWidth;
    int sw = screen.width();
    int sh = screen.height();
    int left = (sw - w) / 2;
    int top = (sh - h) / 2;
    int right = (w + sw) / 2;
    int bottom = (sh + h) / 2;
    // QRect's right/bottom are inclusive; keep the exclusive edges of the computation.
    return QRect(QPoint(screen.left() + left, screen.top() + top),
                 QPoint(screen.left() + right - 1, screen.top() + bottom - 1));
}

void HandOverMainWindowRect(const QWidget& closing) {
    QRect& r = MainWindowRect();
    r.moveTopLeft(closing.frameGeometry().topLeft());
}

void PlaceAtMainWindowRect(QWidget& window, int clientWidth, int clientHeight) {
    window.setFixedSize(clientWidth, clientHeight);
    window.move(MainWindowRect().topLeft());
}

}  // namespace zrt
