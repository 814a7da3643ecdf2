// Painting the launcher's bitmap buttons: a two-pixel sunken edge (shadow and dark shadow at
// the top and left, highlight and light at the bottom and right), a one-pixel bevel that turns
// over while the button is held down, the picture centred (one pixel lower and to the right
// while held) and a dotted focus frame.
#include "startpad/picture_button.h"

#include <QPainter>

namespace zrt {
namespace {

// Two lines along the top and left in `topLeft`, two along the bottom and right in `bottomRight`.
void Edge(QPainter& p, QRect r, QColor topLeft, QColor bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

PictureButton::PictureButton(const QImage& picture, QWidget* parent)
    : QAbstractButton(parent), picture_(picture) {
    setFocusPolicy(Qt::StrongFocus);
}

QSize PictureButton::sizeHint() const {
    return picture_.size() + QSize(10, 10);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    Edge(p, r, QColor(128, 128, 128), Qt::white);
    r.adjust(1, 1, -1, -1);
    Edge(p, r, Qt::black, QColor(192, 192, 192));
    r.adjust(1, 1, -1, -1);
    const QColor face = picture_.isNull() ? QColor(192, 192, 192) : QColor(picture_.pixel(0, 0));
    p.fillRect(r, face);
    const bool down = isDown();
    Edge(p, r, down ? face.darker(200) : face.lighter(250),
         down ? face.lighter(250) : face.darker(200));
    if (!picture_.isNull()) {
        QPoint at = r.center() - QPoint(picture_.width() / 2, picture_.height() / 2) + QPoint(1, 1);
        if (down) at += QPoint(1, 1);
        p.drawImage(at, picture_);
    }
    if (hasFocus()) {
        p.setPen(QPen(QColor(240, 196, 80), 1, Qt::DotLine));
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

}  // namespace zrt
