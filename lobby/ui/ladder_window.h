// LadderWindow: the ranking returned by the ladder query, five places at a time over the
// ladder picture, with a scroll bar moving one place per step.
#pragma once

#include <QDialog>
#include <vector>

#include "lobby/net/ladder_messages.h"

class QScrollBar;
class QPushButton;

namespace zrt {

class LadderWindow : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSlots = 5;

    // At most 99 rows are kept, in the order received (place 1 first).
    explicit LadderWindow(std::vector<LadderEntry> rows);

    int topPlace() const { return topPlace_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    QScrollBar* scrollBar() const { return bar_; }
    // Slot s's rectangle in client coordinates.
    static QRect slotRect(int s);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void scrolled(int position);
    void drawSlot(QPainter& p, int s) const;
    void drawPlace(QPainter& p, const QRect& slot, int place) const;

    std::vector<LadderEntry> rows_;
    int topPlace_ = 0;
    int digitWidth_ = 0;
    QScrollBar* bar_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// The ladder button: asks the database server for the ladder and shows it, or says why not.
void RunLadderQuery(QWidget* parent);

}  // namespace zrt
