// HotSpotButton: the picture button of the painted screens, and HotSpotTracker, the mouse rule
// they share: at most one button is hot (drawn in its hover picture, with the hand cursor).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <span>

class QEvent;
class QPainter;
class QWidget;

namespace zrt {

struct HotSpotButton {
    QRect rect;  // at its fixed place, as large as the normal picture
    QImage normal;
    QImage hover;

    HotSpotButton() = default;
    HotSpotButton(QPoint topLeft, const QImage& normalPicture, const QImage& hoverPicture)
        : rect(topLeft, normalPicture.size()), normal(normalPicture), hover(hoverPicture) {}
};

// The buttons of a screen, in the order the mouse tests them.
using HotSpotButtons = std::span<const HotSpotButton* const>;

class HotSpotTracker {
  public:
    struct Move {
        QRegion repaint;    // button areas whose picture changed
        bool hand = false;  // whether the hand cursor should show
    };

    // The mouse moved to `pos`. A hot button stays hot while the mouse is inside its rectangle
    // (the hand stays); once it leaves, the button returns to normal, and the buttons are tested
    // in order: the first one holding the point becomes hot.
    Move mouseMoved(QPoint pos, HotSpotButtons buttons);
    // Forgets the hot button (e.g. before a dialog opens); the old rectangle needs repainting.
    QRegion clear();
    // The mouse left `screen`, or its window lost activation (a dialog opened over it, which
    // takes the mouse): the hot button is drawn normal again and the hand cursor goes, so no
    // hover picture stays lit once the dialog has closed. True for those two events.
    bool forgetOn(const QEvent* event, QWidget* screen);

    // Draws every button in its normal picture, and the hot one's hover picture over it.
    void paint(QPainter& p, HotSpotButtons buttons) const;

    int hotButton() const { return hot_; }  // index into the buttons, -1 for none
    QRect hotRect() const { return hotRect_; }

    // The first button holding the point (for clicks), or -1.
    static int buttonAt(QPoint pos, HotSpotButtons buttons);

  private:
    int hot_ = -1;
    QRect hotRect_;
};

// Shows the hand cursor over a widget, or returns it to the widget's class cursor.
void SetHandCursor(QWidget* widget, bool hand);

}  // namespace zrt
