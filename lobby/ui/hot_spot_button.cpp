// Hot-spot buttons and their mouse rule.
#include "lobby/ui/hot_spot_button.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

#include "lobby/ui/draw_bitmap.h"

namespace zrt {

int HotSpotTracker::buttonAt(QPoint pos, HotSpotButtons buttons) {
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] && buttons[i]->rect.contains(pos)) return static_cast<int>(i);
    return -1;
}

HotSpotTracker::Move HotSpotTracker::mouseMoved(QPoint pos, HotSpotButtons buttons) {
    Move move;
    if (hot_ >= 0) {
        if (hotRect_.contains(pos)) {
            move.hand = true;
            return move;
        }
        move.repaint += clear();
    }
    const int hit = buttonAt(pos, buttons);
    if (hit >= 0) {
        hot_ = hit;
        hotRect_ = buttons[hit]->rect;
        move.repaint += hotRect_;
        move.hand = true;
    }
    return move;
}

QRegion HotSpotTracker::clear() {
    QRegion old = hot_ >= 0 ? QRegion(hotRect_) : QRegion();
    hot_ = -1;
    hotRect_ = QRect();
    return old;
}

bool HotSpotTracker::forgetOn(const QEvent* event, QWidget* screen) {
    if (event->type() != QEvent::Leave && event->type() != QEvent::WindowDeactivate) return false;
    screen->update(clear());
    SetHandCursor(screen, false);
    return true;
}

void HotSpotTracker::paint(QPainter& p, HotSpotButtons buttons) const {
    for (const HotSpotButton* b : buttons)
        if (b) DrawBitmap(p, b->normal, b->rect.x(), b->rect.y());
    if (hot_ >= 0 && static_cast<size_t>(hot_) < buttons.size() && buttons[hot_]) {
        const HotSpotButton* b = buttons[hot_];
        DrawBitmap(p, b->hover, b->rect.x(), b->rect.y());
    }
}

void SetHandCursor(QWidget* widget, bool hand) {
    if (hand)
        widget->setCursor(Qt::PointingHandCursor);
    else
        widget->unsetCursor();
}

}  // namespace zrt
