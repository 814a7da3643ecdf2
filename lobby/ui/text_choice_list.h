// TextChoiceList: a painted menu of up to 20 texts laid out in centred columns inside an area,
// drawn in a normal, hover or selected colour. A plain object that its owner widget draws in
// its paintEvent and feeds with mouse positions.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;
class QWidget;

namespace zrt {

class TextChoiceList {
  public:
    static constexpr int kMaxItems = 20;

    TextChoiceList();

    // The area's width() and height() are the spans the items are spread over.
    void init(const QRect& area, const QColor& normal, const QColor& hover, const QColor& selected);
    // When set, hover and selection changes repaint the affected items in this widget.
    void setOwner(QWidget* owner) { owner_ = owner; }

    // Adds an item and lays the list out again; false (and no change) when 20 items exist.
    bool add(const QString& text);
    // Draws every item: selected colour for the selection, hover colour for the item under the
    // mouse, normal colour for the rest.
    void draw(QPainter& p) const;
    // The item under the point becomes the hover item; its index, or -1.
    int hitTest(const QPoint& point);
    // Makes index the selection (-1: none).
    void select(int index);
    void clear();

    int count() const { return static_cast<int>(items_.size()); }
    QString itemText(int index) const;
    QRect itemRect(int index) const;
    int hoverIndex() const { return hover_; }
    int selectedIndex() const { return selected_; }
    int columnCount() const { return static_cast<int>(columnFirst_.size()); }
    const QFont& font() const { return font_; }

  private:
    struct Item {
        QString text;
        QRect rect;
    };
    void repaintItem(int index);
    int columnEnd(int column) const;

    QFont font_;
    QRect area_;
    QColor normal_, hoverColour_, selectedColour_;
    std::vector<Item> items_;
    std::vector<int> columnFirst_{0};
    int hover_ = -1;
    int selected_ = -1;
    QWidget* owner_ = nullptr;
};

}  // namespace zrt
