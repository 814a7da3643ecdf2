// TextChoiceList layout and drawing. Items are placed one below another with 10 pixels between
// them, each column centred vertically in the area; when the next item would pass the area's
// bottom, a new column opens and all columns are spread over equal slots of the area's width.
#include "lobby/ui/text_choice_list.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include "lobby/ui/lobby_look.h"

namespace zrt {

TextChoiceList::TextChoiceList() : font_(ArialFont(14)) {}

void TextChoiceList::init(const QRect& area, const QColor& normal, const QColor& hover,
                          const QColor& selected) {
    area_ = area;
    normal_ = normal;
    hoverColour_ = hover;
    selectedColour_ = selected;
    clear();
}

void TextChoiceList::clear() {
    items_.clear();
    columnFirst_.assign(1, 0);
    hover_ = -1;
    selected_ = -1;
}

int TextChoiceList::columnEnd(int column) const {
    return column + 1 < columnCount() ? columnFirst_[column + 1] : count();
}

bool TextChoiceList::add(const QString& text) {
    if (count() >= kMaxItems) return false;
    const QFontMetrics fm(font_);
    const int w = fm.horizontalAdvance(text);
    const int h = fm.height();
    // Edges as right/bottom = left/top + size, the way the layout is reckoned.
    const int areaLeft = area_.x(), areaTop = area_.y();
    const int areaW = area_.width(), areaH = area_.height();
    const int areaRight = areaLeft + areaW, areaBottom = areaTop + areaH;

    if (items_.empty()) {
        items_.push_back(
            {text, QRect(areaLeft + (areaW - w) / 2, areaTop + (areaH - h) / 2, w, h)});
        columnFirst_.assign(1, 0);
        return true;
    }

    const QRect last = items_.back().rect;
    const QRect first = items_[columnFirst_.back()].rect;
    const int lastBottom = last.y() + last.height();
    if (areaBottom < lastBottom + h + 10) {
        // No room below: a new column starting level with the previous column's first item.
        columnFirst_.push_back(count());
        items_.push_back({text, QRect(first.x(), first.y(), w, h)});
        const int slot = areaW / columnCount();
        for (int k = 0; k < columnCount(); ++k) {
            const int slotLeft = areaLeft + k * slot;
            for (int i = columnFirst_[k]; i < columnEnd(k); ++i) {
                QRect& r = items_[i].rect;
                r.moveLeft(slotLeft + (slot - r.width()) / 2);
            }
        }
    } else {
        const int slot = areaW / columnCount();
        items_.push_back({text, QRect(areaRight - slot + (slot - w) / 2, lastBottom + 10, w, h)});
        // Centre the last column vertically.
        int start = areaTop + (areaH - (lastBottom - first.y() + 10 + h)) / 2;
        for (int i = columnFirst_.back(); i < count(); ++i) {
            QRect& r = items_[i].rect;
            r.moveTop(start);
            start += r.height() + 10;
        }
    }
    return true;
}

void TextChoiceList::draw(QPainter& p) const {
    p.save();
    p.setFont(font_);
    p.setBackgroundMode(Qt::TransparentMode);
    for (int i = 0; i < count(); ++i) {
        // Hover is drawn here too: the owner repaints whole regions, not single items.
        const QColor& c = i == selected_ ? selectedColour_ : i == hover_ ? hoverColour_ : normal_;
        p.setPen(c);
        p.drawText(items_[i].rect,
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                   items_[i].text);
    }
    p.restore();
}

int TextChoiceList::hitTest(const QPoint& point) {
    int hit = -1;
    for (int i = 0; i < count(); ++i) {
        if (items_[i].rect.contains(point)) {
            hit = i;
            break;
        }
    }
    if (hit != hover_) {
        const int previous = hover_;
        hover_ = hit;
        repaintItem(previous);
        repaintItem(hit);
    }
    return hit;
}

void TextChoiceList::select(int index) {
    if (index >= count()) index = -1;
    const int previous = selected_;
    selected_ = index < 0 ? -1 : index;
    repaintItem(previous);
    repaintItem(selected_);
}

QString TextChoiceList::itemText(int index) const {
    return index >= 0 && index < count() ? items_[index].text : QString();
}

QRect TextChoiceList::itemRect(int index) const {
    return index >= 0 && index < count() ? items_[index].rect : QRect();
}

void TextChoiceList::repaintItem(int index) {
    if (owner_ && index >= 0 && index < count())
        owner_->update(items_[index].rect.adjusted(-2, -2, 2, 2));
}

}  // namespace zrt
