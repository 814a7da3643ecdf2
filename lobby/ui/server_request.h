// ServerRequest: the small modal window that stands on the screen while one exchange with a
// central server runs on a worker thread, with a Cancel button. The caller fills the request,
// runs the window and acts on the outcome it returns; with ExchangeOutcome::Reply, reply() holds
// the bytes received.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "lobby/net/server_exchange.h"
#include "lobby/ui/worker_dialog.h"

class QPushButton;

namespace zrt {

// How a server exchange ended:
//   Cancelled: the user pressed Cancel before the reply was complete; say nothing.
//   Failed: the exchange failed by itself; the caller shows its connection error.
//   NoReply: nothing came back; give up without a message.
//   Reply: interpret the reply (also when Cancel came after it had arrived).
enum class ExchangeOutcome { Cancelled, Failed, NoReply, Reply };

class ServerRequest : public WorkerDialog {
    Q_OBJECT
  public:
    // port 0 or less: the database server's port. The host is the process's server address.
    ServerRequest(QWidget* parent, const QString& message, int port);
    ~ServerRequest() override;

    bool setRequest(const std::vector<uint8_t>& bytes) { return exchange_.setRequest(bytes); }
    bool setPrefixWidth(int width) { return exchange_.setPrefixWidth(width); }

    // Shows the window until the exchange ends or the user cancels.
    ExchangeOutcome run();
    // Runs the exchange for a dialog: a failure shows `failureText` in the ErrorBox over the
    // window's parent; a cancel or an empty end says nothing. True when a reply is there to read.
    bool runForReply(const QString& failureText);

    // The bytes received: more than 0 with a reply, 0 cancelled or nothing, -1 failure.
    int result() const { return exchange_.result(); }
    const std::vector<uint8_t>& reply() const { return exchange_.reply(); }
    const QString& message() const { return message_; }

    // Presses Cancel (as the button and the Esc key do).
    void cancelExchange();

  protected:
    void cancel() override { cancelExchange(); }
    void paintEvent(QPaintEvent* event) override;

  private:
    void stopWorker();

    QString message_;
    ServerExchange exchange_;
    QPushButton* cancel_ = nullptr;
};

}  // namespace zrt
