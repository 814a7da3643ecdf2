// The login screen.
#include "lobby/ui/login_window.h"

#include <QPainter>

#include "lobby/ui/draw_bitmap.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/main_window_rect.h"

namespace zrt {

LoginWindow::LoginWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("ZRTH Lobby - Login");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    PlaceAtMainWindowRect(*this);
}

QRect LoginWindow::newRect() const {
    const QImage& b = Pictures().bsNew.image();
    return QRect((660 - 3 * b.width()) / 2, 478, b.width(), b.height());
}

QRect LoginWindow::continueRect() const {
    QRect r = newRect();
    return r.translated(r.width() + 20, 0);
}

QRect LoginWindow::quitRect() const {
    QRect r = newRect();
    return r.translated(2 * r.width() + 40, 0);
}

void LoginWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const LobbyPictures& pics = Pictures();
    DrawBitmap(p, pics.bgSetup, 0, 0);
    DrawMasked(p, 120 + (460 - pics.tChoose.width()) / 2, 140, pics.tChoose);
    DrawBitmap(p, pics.bsNew.image(), newRect().x(), newRect().y());
    DrawBitmap(p, pics.bsCont.image(), continueRect().x(), continueRect().y());
    DrawBitmap(p, pics.bsQuit.image(), quitRect().x(), quitRect().y());
}

}  // namespace zrt
