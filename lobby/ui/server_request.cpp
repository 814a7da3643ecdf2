// The progress window of one server exchange.
#include "lobby/ui/server_request.h"

#include <QPushButton>

#include "lobby/data/process_state.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/error_box.h"

namespace zrt {

ServerRequest::ServerRequest(QWidget* parent, const QString& message, int port)
    : WorkerDialog(parent, QStringLiteral("ZRTH Lobby"), QSize(204, 63)),
      message_(message.left(255)),
      exchange_(Process().serverAddress, port) {
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setGeometry(DialogUnits(font()).rect(77, 42, 50, 14));
    connect(cancel_, &QPushButton::clicked, this, &ServerRequest::cancelExchange);
    setJob([this]() -> intptr_t { return exchange_.run(); });
}

ServerRequest::~ServerRequest() {
    stopWorker();
}

ExchangeOutcome ServerRequest::run() {
    const int ended = exec();
    stopWorker();
    if (result() > 0) return ExchangeOutcome::Reply;
    if (ended != 1) return ExchangeOutcome::Cancelled;
    return result() < 0 ? ExchangeOutcome::Failed : ExchangeOutcome::NoReply;
}

bool ServerRequest::runForReply(const QString& failureText) {
    switch (run()) {
        case ExchangeOutcome::Failed:
            ErrorBox::Show(parentWidget(), failureText);
            return false;
        case ExchangeOutcome::Cancelled:
        case ExchangeOutcome::NoReply:
            return false;
        case ExchangeOutcome::Reply:
            break;
    }
    return true;
}

void ServerRequest::stopWorker() {
    if (!working()) return;
    exchange_.cancel();
    joinWorker();
}

void ServerRequest::cancelExchange() {
    stopWorker();
    done(2);
}

void ServerRequest::paintEvent(QPaintEvent*) {
    paintText(QRect(0, 30, width(), height() - 60), Qt::AlignHCenter | Qt::AlignTop, message_);
}

}  // namespace zrt
