// AccountCreatedBox ("Thanks for playing !"): shown after a lobby account was created, telling
// the player that the password is on its way by e-mail.
//
//   AccountCreatedBox box(parent);
//   box.exec();
#pragma once

#include <QDialog>

class QLabel;

namespace zrt {

class AccountCreatedBox : public QDialog {
    Q_OBJECT
  public:
    explicit AccountCreatedBox(QWidget* parent = nullptr);

    // The four lines, in order.
    static constexpr int kLineCount = 4;
    QLabel* line(int i) const { return lines_[i]; }

  private:
    QLabel* lines_[kLineCount] = {};
};

}  // namespace zrt
