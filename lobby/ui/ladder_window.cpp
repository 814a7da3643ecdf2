// The ladder window and the ladder query behind the ladder button.
#include "lobby/ui/ladder_window.h"

#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include "lobby/data/country_table.h"
#include "lobby/net/request_code.h"
#include "lobby/ui/draw_bitmap.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"
#include "lobby/ui/server_request.h"

namespace zrt {
namespace {

constexpr int kSlotTops[LadderWindow::kSlots] = {115, 179, 244, 308, 373};

}  // namespace

QRect LadderWindow::slotRect(int s) {
    return QRect(QPoint(45, kSlotTops[s]), QPoint(620, kSlotTops[s] + 37));  // (45,t)-(621,t+38)
}

LadderWindow::LadderWindow(std::vector<LadderEntry> rows) : rows_(std::move(rows)) {
    if (rows_.size() > kLadderWindowMax) rows_.resize(kLadderWindowMax);
    setWindowTitle("ZRTH Lobby Ladder");
    ApplyDialogLook(this);
    const QImage& bg = Pictures().bgLadder;
    int wp = bg.isNull() ? 666 : bg.width();
    int hp = bg.isNull() ? 480 : bg.height();
    setFixedSize(wp, hp);
    digitWidth_ = Pictures().digits[0].width();

    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setGeometry(QRect(QPoint(wp - 35, 115), QPoint(wp - 21, 410)));
    int range = rowCount() > kSlots ? rowCount() - kSlots : 0;
    bar_->setRange(0, range);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
    bar_->setValue(0);
    bar_->setEnabled(range > 0);
    connect(bar_, &QScrollBar::valueChanged, this, &LadderWindow::scrolled);

    ok_ = new QPushButton("OK", this);
    ok_->setGeometry(QRect(QPoint(wp / 2 - 40, hp - 60), QPoint(wp / 2 + 39, hp - 36)));
    ok_->setDefault(true);
    ok_->setFocus();
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void LadderWindow::scrolled(int position) {
    ok_->setFocus();
    if (position == topPlace_) return;
    topPlace_ = position;
    QRegion area;
    for (int s = 0; s < kSlots; ++s) area += slotRect(s);
    update(area);
}

void LadderWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    DrawBitmap(p, Pictures().bgLadder, 0, 0);
    for (int s = 0; s < kSlots; ++s) drawSlot(p, s);
}

void LadderWindow::drawPlace(QPainter& p, const QRect& slot, int place) const {
    const auto& digits = Pictures().digits;
    if (place < 10) {
        DrawMasked(p, slot.left() + digitWidth_ / 2 + 1, slot.top(), digits[place]);
    } else {
        DrawMasked(p, slot.left(), slot.top(), digits[(place / 10) % 10]);
        DrawMasked(p, slot.left() + digitWidth_ + 1, slot.top(), digits[place % 10]);
    }
}

void LadderWindow::drawSlot(QPainter& p, int s) const {
    QRect slot = slotRect(s);
    int row = topPlace_ + s;
    drawPlace(p, slot, row + 1);
    p.setPen(Qt::black);
    if (row >= rowCount()) {
        p.setFont(ArialFont(10));
        p.drawText(slot, Qt::AlignCenter | Qt::TextSingleLine, "This Position is Empty");
        return;
    }
    const LadderEntry& e = rows_[static_cast<size_t>(row)];
    int x0 = slot.left() + 2 * digitWidth_ + 10;
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    p.setFont(ArialFont(10));
    p.drawText(QRect(x0, slot.top(), 95, slot.height()), flags,
               QString::fromStdString(e.loginName));
    p.setFont(ArialFont(9));
    p.drawText(QRect(x0 + 95, slot.top(), 80, slot.height()), flags,
               QString::number(e.stats.score));
    QString figures = QString("[ %1 ]  Won %2  Lost %3  Quit %4")
                          .arg(CountryName(e.stats.country))
                          .arg(e.stats.won)
                          .arg(e.stats.lost)
                          .arg(e.stats.quit);
    p.drawText(QRect(QPoint(x0 + 175, slot.top()), slot.bottomRight()), flags, figures);
}

void RunLadderQuery(QWidget* parent) {
    ServerRequest request(parent, "Connecting to the Database Server...", kDatabasePort);
    request.setRequest(encodeLadderRequest());
    if (!request.runForReply("Error Connecting to the Server.\nPlease Try Later")) return;
    std::vector<LadderEntry> rows =
        decodeLadderReply(request.reply().data(), request.reply().size());
    if (rows.empty()) {
        ErrorBox::Show(parent, "Error receiving ladder information");
        return;
    }
    LadderWindow window(std::move(rows));
    window.exec();
}

}  // namespace zrt
