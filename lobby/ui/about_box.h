// The About box of the lobby screen: the program's name and edition, and OK.
#pragma once

#include <QDialog>

namespace zrt {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* owner);

    // Runs the box modally.
    static void Show(QWidget* owner);
};

}  // namespace zrt
