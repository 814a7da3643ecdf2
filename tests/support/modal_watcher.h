// ModalWatcher: closes every ErrorBox a test's windows raise and keeps its text, and cancels an
// exchange window that stays up for 20 s, so no test waits for a person or without bound.
// AnswerNextModal: answers the next modal window the way the test says, once it shows.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

class ModalWatcher : public QObject {
  public:
    ModalWatcher();
    QStringList messages;

  private:
    void poll();

    QTimer timer_;
    QPointer<QWidget> seen_;
    QElapsedTimer since_;
};

// Hands the next modal window to `answer` once it is up (polled every 10 ms from the event
// loop that runs while it is shown).
void AnswerNextModal(std::function<void(QWidget*)> answer);
