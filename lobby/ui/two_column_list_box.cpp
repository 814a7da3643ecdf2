// TwoColumnListBox painting through an item delegate.
#include "lobby/ui/two_column_list_box.h"

#include <QAbstractItemDelegate>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include "lobby/session/name_set.h"
#include "lobby/ui/lobby_look.h"

namespace zrt {
namespace {

class TwoColumnDelegate : public QAbstractItemDelegate {
  public:
    explicit TwoColumnDelegate(TwoColumnListBox* box) : QAbstractItemDelegate(box), box_(box) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        box_->drawItem(*p, index.row(), index.data(Qt::DisplayRole).toString(), option.rect);
        // The rows draw no selection of their own; a yellow frame shows which lines are
        // selected (the players a whisper goes to, the chat line picked).
        if (option.state & QStyle::State_Selected) {
            p->save();
            p->setPen(kPaintedTextYellow);
            p->setBrush(Qt::NoBrush);
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
            p->restore();
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(1, box_->itemHeight());
    }

  private:
    TwoColumnListBox* box_;
};

}  // namespace

TwoColumnListBox::TwoColumnListBox(Size size, int columnOffset, bool striped, QWidget* parent)
    : QListWidget(parent),
      firstFont_(ArialFont(size == Size::Large ? 11 : 9)),
      secondFont_(ArialFont(size == Size::Large ? 11 : 9)),
      columnOffset_(columnOffset),
      striped_(striped),
      // A text extent's height is the font's cell height, whatever the text ("First").
      itemHeight_(QFontMetrics(firstFont_).height()) {
    setItemDelegate(new TwoColumnDelegate(this));
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, kFirstColumn);
    setPalette(pal);
}

void TwoColumnListBox::drawItem(QPainter& p, int index, const QString& text,
                                const QRect& rect) const {
    p.save();
    const int tab = text.indexOf(QLatin1Char('\t'));
    const QString first = tab < 0 ? text : text.left(tab);

    p.setBackgroundMode(Qt::TransparentMode);
    if (striped_) {
        p.setPen(Qt::black);
        p.setBrush(index % 2 == 0 ? QColor(Qt::black) : kOddStripe);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }

    const bool marked = highlighting_ && names_ && names_->contains(first.toLatin1().toStdString());
    p.setFont(firstFont_);
    p.setPen(marked ? kHighlighted : kFirstColumn);
    const QRect firstRect(QPoint(rect.left() + 5, rect.top()),
                          QPoint(rect.left() + columnOffset_ - 1, rect.bottom()));
    p.drawText(firstRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, first);

    if (tab >= 0) {
        p.setFont(secondFont_);
        p.setPen(kSecondColumn);
        const QRect secondRect(QPoint(rect.left() + columnOffset_ + 5, rect.top()),
                               rect.bottomRight());
        p.drawText(secondRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   text.mid(tab + 1));
    }
    p.restore();
}

}  // namespace zrt
