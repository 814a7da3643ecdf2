// The goodbye box shown after a game launch, just before the lobby ends.
#pragma once

#include <QDialog>

namespace zrt {

class GoodbyeBox : public QDialog {
    Q_OBJECT
  public:
    explicit GoodbyeBox(QWidget* owner);

    // Runs the box modally.
    static void Show(QWidget* owner);
};

}  // namespace zrt
