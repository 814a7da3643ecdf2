// ModalWatcher: closes every ErrorBox a test's windows raise and keeps its text, and cancels an
// exchange window that stays up for 20 s, so no test waits for a person or without bound.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

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
