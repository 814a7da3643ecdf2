// The progress window with its worker thread.
#include "lobby/ui/worker_dialog.h"

#include <QCloseEvent>
#include <QPainter>

#include "lobby/platform/app_events.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

WorkerDialog::WorkerDialog(QWidget* owner, const QString& title, QSize templateSize)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(title);
    setModal(true);
    ApplyDialogLook(this);
    setFont(DialogTemplateFont());
    setFixedSize(DialogUnits(font()).size(templateSize.width(), templateSize.height()));
}

WorkerDialog::~WorkerDialog() {
    joinWorker();
}

void WorkerDialog::joinWorker() {
    if (worker_.joinable()) worker_.join();
}

void WorkerDialog::finished(intptr_t) {
    done(1);
}

void WorkerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this] {
        const intptr_t result = job_ ? job_() : 0;
        PostAppEvent(this, WM_APP_1, result);
    });
}

bool WorkerDialog::event(QEvent* e) {
    if (AppEvent::is(e, WM_APP_1)) {
        // After a cancel the worker was joined already and its result is not wanted.
        if (working()) {
            joinWorker();
            finished(static_cast<AppEvent*>(e)->wParam);
        }
        return true;
    }
    return QDialog::event(e);
}

void WorkerDialog::closeEvent(QCloseEvent* e) {
    e->ignore();
    cancel();
}

void WorkerDialog::paintText(const QRect& band, int flags, const QString& text) {
    QPainter p(this);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setFont(ArialFont(10));
    p.setPen(kPaintedTextYellow);
    p.drawText(band, flags, text);
}

}  // namespace zrt
