// ConfirmBox: the lobby's yes/no question, two centred yellow lines over YES and NO.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace zrt {

class ConfirmBox : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kMaxFirstLine = 79;

    ConfirmBox(QWidget* owner, const QString& line1, const QString& line2);

    // Runs the box modally: true for YES, false for NO, Esc or closing it.
    static bool Ask(QWidget* owner, const QString& line1, const QString& line2);

    QLabel* firstLine() const { return first_; }
    QLabel* secondLine() const { return second_; }

  private:
    QLabel* first_;
    QLabel* second_;
};

}  // namespace zrt
