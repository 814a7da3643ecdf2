// LoadingBox: 170 x 45 dialog units, titled "Zerathon Lobby ( Demo Version )", no controls and
// no close button. The worker reports through a posted WM_APP + 1: wParam 0 = loaded, 1 = failed.
// The box ends only when the loader does: Esc and close requests are ignored meanwhile.
#include "lobby/ui/loading_box.h"

namespace zrt {

LoadingBox::LoadingBox(std::function<bool()> loader, QWidget* owner)
    : WorkerDialog(owner, QStringLiteral("Zerathon Lobby ( Demo Version )"), QSize(170, 45)) {
    setObjectName(QStringLiteral("LoadingBox"));
    setJob([loader = std::move(loader)]() -> intptr_t {
        bool ok = false;
        try {
            ok = loader && loader();
        } catch (...) {
            ok = false;
        }
        return ok ? 0 : 1;
    });
}

int LoadingBox::Run() {
    const int result = exec();
    joinWorker();
    return result;
}

void LoadingBox::finished(intptr_t failed) {
    done(failed == 0 ? 1 : 2);
}

QRect LoadingBox::textRect() const {
    const QRect client = rect();
    return QRect(client.left(), client.height() - 30, client.width(), 20);
}

void LoadingBox::paintEvent(QPaintEvent*) {
    paintText(textRect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
              QStringLiteral("Loading Resources..."));
}

}  // namespace zrt
