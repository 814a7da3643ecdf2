#include "tests/support/modal_watcher.h"

#include <QApplication>

#include "lobby/ui/error_box.h"
#include "lobby/ui/server_request.h"

ModalWatcher::ModalWatcher() {
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::poll);
    timer_.start(10);
}

void ModalWatcher::poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<zrt::ErrorBox*>(w)) {
        messages << box->message();
        box->close();
    } else if (auto* request = qobject_cast<zrt::ServerRequest*>(w)) {
        if (request != seen_) {
            seen_ = request;
            since_.start();
        } else if (since_.elapsed() > 20000) {
            request->cancelExchange();
        }
    }
}

void AnswerNextModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        }
    });
    timer->start(10);
}
