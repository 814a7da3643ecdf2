// The portrait control and the nation list.
#include "lobby/ui/portrait_view.h"

#include <QListWidget>
#include <QPainter>
#include <QPalette>

#include "lobby/data/nation_table.h"
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

void ApplyYellowOnBlack(QWidget* widget) {
    QPalette pal = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, Qt::black);
        pal.setColor(group, QPalette::Text, QColor(255, 255, 0));
    }
    widget->setPalette(pal);
}

QListWidget* MakeNationList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    for (const NationRow& row : kNationTable) list->addItem(QString::fromLatin1(row.name));
    ApplyYellowOnBlack(list);
    return list;
}

bool IsNationIndex(int index) { return index >= 0 && index < static_cast<int>(kNationCount); }

}  // namespace zrt
