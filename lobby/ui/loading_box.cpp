// LoadingBox: 170 x 45 dialog units, titled "Zerathon Lobby ( Demo Version )", no controls and
// no close button. The worker reports through a posted WM_APP + 1: wParam 0 = loaded, 1 = failed.
#include "lobby/ui/loading_box.h"

#include <QCloseEvent>
#include <QPainter>

#include "lobby/platform/app_events.h"
#include "lobby/ui/dialog_units.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {

LoadingBox::LoadingBox(std::function<bool()> loader, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      loader_(std::move(loader)),
      font_(ArialFont(10)) {
    setObjectName(QStringLiteral("LoadingBox"));
    setWindowTitle(QStringLiteral("Zerathon Lobby ( Demo Version )"));
    setModal(true);
    ApplyDialogLook(this);
    setFixedSize(DialogUnits(DialogTemplateFont()).size(170, 45));
}

LoadingBox::~LoadingBox() { joinWorker(); }

int LoadingBox::Run() {
    const int result = exec();
    joinWorker();
    return result;
}

void LoadingBox::joinWorker() {
    if (worker_.joinable()) worker_.join();
}

void LoadingBox::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this] {
        bool ok = false;
        try {
            ok = loader_ && loader_();
        } catch (...) {
            ok = false;
        }
        PostAppEvent(this, WM_APP_1, ok ? 0 : 1);
    });
}

bool LoadingBox::event(QEvent* e) {
    if (AppEvent::is(e, WM_APP_1)) {
        finished_ = true;
        done(static_cast<AppEvent*>(e)->wParam == 0 ? 1 : 2);
        return true;
    }
    return QDialog::event(e);
}

QRect LoadingBox::textRect() const {
    const QRect client = rect();
    return QRect(client.left(), client.height() - 30, client.width(), 20);
}

void LoadingBox::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setBackgroundMode(Qt::TransparentMode);
    p.setFont(font_);
    p.setPen(kPaintedTextYellow);
    p.drawText(textRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               QStringLiteral("Loading Resources..."));
}

// The box ends only when the loader does: Esc and close requests are ignored meanwhile.
void LoadingBox::closeEvent(QCloseEvent* e) {
    if (!finished_) e->ignore();
}

void LoadingBox::reject() {
    if (finished_) QDialog::reject();
}

}  // namespace zrt
