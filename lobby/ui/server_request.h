// ServerRequest: the small modal window that stands on the screen while one exchange with a
// central server runs on a worker thread, with a Cancel button. The caller fills the request,
// runs the window, then reads the outcome:
//   run() == 2 and result() <= 0: the user cancelled; show nothing.
//   run() == 1 and result() < 0: show the caller's connection error.
//   result() == 0: give up without a message.
//   result() > 0: interpret reply() (also when run() returned 2 after the reply had arrived).
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <thread>
#include <vector>

#include "lobby/net/server_exchange.h"

class QPushButton;

namespace zrt {

class ServerRequest : public QDialog {
    Q_OBJECT
public:
    // port 0 or less: the database server's port. The host is the process's ServerAddress.
    ServerRequest(QWidget* parent, const QString& message, int port);
    ~ServerRequest() override;

    bool setRequest(const std::vector<uint8_t>& bytes) { return exchange_.setRequest(bytes); }
    bool setPrefixWidth(int width) { return exchange_.setPrefixWidth(width); }

    // Shows the window until the exchange ends (1) or the user cancels (2).
    int run();

    int result() const { return exchange_.result(); }
    const std::vector<uint8_t>& reply() const { return exchange_.reply(); }
    const QString& message() const { return message_; }

    // Presses Cancel (as the button and the Esc key do).
    void cancelExchange();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void reject() override;

private:
    void stopWorker();

    QString message_;
    ServerExchange exchange_;
    QPushButton* cancel_ = nullptr;
    std::thread worker_;
    bool started_ = false;
};

}  // namespace zrt
