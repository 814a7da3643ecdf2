// TwoColumnListBox: a list of strings drawn in two columns (split at the first tab), green and
// cyan, with optional black/blue striped rows and magenta for names in a NameSet.
#pragma once

#include <QColor>
#include <QFont>
#include <QListWidget>

namespace zrt {

class NameSet;

class TwoColumnListBox : public QListWidget {
    Q_OBJECT
  public:
    enum class Size { Large, Small };  // Arial 11 or Arial 9

    static inline const QColor kFirstColumn{0, 255, 0};
    static inline const QColor kSecondColumn{0, 255, 255};
    static inline const QColor kHighlighted{255, 0, 255};
    static inline const QColor kOddStripe{0, 0, 255};

    TwoColumnListBox(Size size, int columnOffset, bool striped, QWidget* parent = nullptr);

    const QFont& firstFont() const { return firstFont_; }
    const QFont& secondFont() const { return secondFont_; }
    int columnOffset() const { return columnOffset_; }
    bool striped() const { return striped_; }
    // The height of "First" in the first font; every row has it.
    int itemHeight() const { return itemHeight_; }

    // Names drawn in magenta while highlighting is on. The set is read while painting; its
    // owner keeps it alive and guards it as the tables' threading rules say.
    void setHighlightNames(const NameSet* names) {
        names_ = names;
        viewport()->update();
    }
    void setHighlighting(bool on) {
        highlighting_ = on;
        viewport()->update();
    }
    bool highlighting() const { return highlighting_; }

    // Paints row `index` with `text` into `rect`.
    void drawItem(QPainter& p, int index, const QString& text, const QRect& rect) const;

  private:
    QFont firstFont_;
    QFont secondFont_;
    int columnOffset_;
    bool striped_;
    int itemHeight_;
    const NameSet* names_ = nullptr;
    bool highlighting_ = false;
};

}  // namespace zrt
