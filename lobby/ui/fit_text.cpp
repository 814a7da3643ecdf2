// FitText. A break is never placed before the first character: a box too narrow for even one
// character still gives one per line, so a caller that splits a text line by line always ends.
#include "lobby/ui/fit_text.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>

#include "lobby/ui/two_column_list_box.h"

namespace zrt {

int FitText(const TwoColumnListBox& box, const QString& text) {
    int clientWidth = box.contentsRect().width();
    if (box.verticalScrollBar()->isVisibleTo(&box)) clientWidth -= box.verticalScrollBar()->width();
    const int scrollBar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
    const int available = clientWidth - box.columnOffset() - scrollBar - 5;
    const QFontMetrics fm(box.firstFont());
    for (int k = 1; k < text.size(); ++k) {
        // Keep surrogate pairs together.
        if (text.at(k).isLowSurrogate()) continue;
        if (fm.horizontalAdvance(text.left(k)) > available) return k;
    }
    return -1;
}

}  // namespace zrt
