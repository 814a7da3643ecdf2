// The portrait control of the new-player and login dialogs, and the nation list that drives
// it: both share one index, row i of the nation table showing portrait i.
#pragma once

#include <QWidget>

class QListWidget;

namespace zrt {

// Shows one of the 19 portraits loaded at start-up, at its own size from the control's
// top-left corner; nothing for an index outside the table.
class PortraitView : public QWidget {
    Q_OBJECT
  public:
    explicit PortraitView(QWidget* parent = nullptr);

    void setPortrait(int index);
    int portrait() const { return index_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int index_ = -1;
};

// A list of the 19 nation and species names in table order, yellow on black, nothing selected.
QListWidget* MakeNationList(QWidget* parent);

// Valid rows of the nation table (0-18).
bool IsNationIndex(int index);

}  // namespace zrt
