// ErrorBox: the one way the lobby tells the user about a failure. A modal box titled
// "ZRTH Lobby - Error" with the message painted in yellow, one line per "\n", and an OK button.
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

namespace zrt {

class ErrorBox : public QDialog {
    Q_OBJECT
  public:
    ErrorBox(QWidget* owner, const QString& message);

    // Shows the message modally and returns when the user presses OK, Enter or Esc. Called from
    // a thread other than the UI thread, it hands the box to the UI thread and returns at once
    // (widgets live on the UI thread only).
    static void Show(QWidget* owner, const QString& message);

    const QString& message() const { return message_; }
    // The band the message is painted in: the client width, 35 pixels in from top and bottom.
    QRect messageRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString message_;
    QFont font_;
};

}  // namespace zrt
