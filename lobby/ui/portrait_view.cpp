// The portrait control and the nation list.
#include "lobby/ui/portrait_view.h"

#include <QListWidget>
#include <QPainter>

#include "lobby/data/nation_table.h"
#include "lobby/ui/lobby_look.h"
#include "lobby/ui/lobby_pictures.h"

namespace zrt {

PortraitView::PortraitView(QWidget* parent) : QWidget(parent) {}

void PortraitView::setPortrait(int index) {
    index_ = IsNationIndex(index) ? index : -1;
    update();
}

void PortraitView::paintEvent(QPaintEvent*) {
    if (index_ < 0) return;
    const QImage& image = Pictures().portraits[static_cast<size_t>(index_)].image();
    if (image.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, image);
}

QListWidget* MakeNationList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    for (const NationRow& row : kNationTable) list->addItem(QString::fromLatin1(row.name));
    ApplyYellowOnBlack(list);
    return list;
}

bool IsNationIndex(int index) {
    return index >= 0 && index < static_cast<int>(kNationCount);
}

}  // namespace zrt
