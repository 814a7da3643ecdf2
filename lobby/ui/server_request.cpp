// The progress window of one server exchange.
#include "lobby/ui/server_request.h"

#include <QPainter>
#include <QPushButton>

#include "lobby/platform/app_events.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/process_state.h"

namespace zrt {

ServerRequest::ServerRequest(QWidget* parent, const QString& message, int port)
    : QDialog(parent), message_(message.left(255)),
      exchange_(Process().serverAddress, port) {
    setWindowTitle("ZRTH Lobby");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    ApplyDialogLook(this);
    setFont(ArialFont(9));
    DialogUnits du(font());
    setFixedSize(du.size(204, 63));
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setGeometry(du.rect(77, 42, 50, 14));
    connect(cancel_, &QPushButton::clicked, this, &ServerRequest::cancelExchange);
}

ServerRequest::~ServerRequest() { stopWorker(); }

int ServerRequest::run() { return exec(); }

void ServerRequest::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this] {
        exchange_.run();
        // A cancelled exchange ends without a message: the Cancel handler closes the window.
        if (!exchange_.wasCancelled()) PostAppEvent(this, WM_APP_1);
    });
}

void ServerRequest::stopWorker() {
    if (worker_.joinable()) {
        exchange_.cancel();
        worker_.join();
    }
}

bool ServerRequest::event(QEvent* e) {
    if (AppEvent::is(e, WM_APP_1)) {
        stopWorker();
        done(1);
        return true;
    }
    return QDialog::event(e);
}

void ServerRequest::cancelExchange() {
    stopWorker();
    done(2);
}

void ServerRequest::reject() { cancelExchange(); }

void ServerRequest::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(ArialFont(10));
    p.setPen(kPaintedTextYellow);
    QRect band(0, 30, width(), height() - 60);
    p.drawText(band, Qt::AlignHCenter | Qt::AlignTop, message_);
}

}  // namespace zrt
