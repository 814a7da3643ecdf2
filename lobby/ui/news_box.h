// NewsBox: a text from the lobby's servers, shown once (at start-up, or when a hall sends one).
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace zrt {

class NewsBox : public QDialog {
    Q_OBJECT
  public:
    NewsBox(QWidget* owner, const QString& text);

    static void Show(QWidget* owner, const QString& text);
    QString text() const;

  private:
    QPlainTextEdit* edit_;
};

}  // namespace zrt
