// Serving one connection: read the request (its size follows from its first byte), hand it to
// a worker, write the reply, then shut down our side and drain the peer's before closing, so
// the reply is not cut off by a reset. One deadline runs from the connection's start until its
// work begins, the wait for a worker included; the reply has a deadline of its own.
#include "server/request_connection.h"

#include "server/log.h"

namespace zrtserver {

using asio::ip::tcp;

namespace {
constexpr auto kDrainLimit = std::chrono::seconds(2);
}

RequestConnection::RequestConnection(ServeContext& ctx, Port port, tcp::socket socket,
                                     const tcp::endpoint& peer)
    : ctx_(ctx),
      port_(port),
      socket_(std::move(socket)),
      timer_(ctx.io),
      address_(peer.address().to_string()) {
    ctx_.active.fetch_add(1);
    peer_ = address_ + ":" + std::to_string(peer.port());
    peer_ += port_ == Port::Version ? " [version]" : " [database]";
}

RequestConnection::~RequestConnection() {
    ctx_.active.fetch_sub(1);
}

void RequestConnection::armTimer(std::chrono::steady_clock::duration d) {
    timer_.expires_after(d);
    timer_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
        if (ec) return;
        self->timedOut_ = true;
        asio::error_code ignored;
        self->socket_.close(ignored);
    });
}

void RequestConnection::finish(const std::string& note) {
    if (!note.empty()) logLine(peer_ + " " + note);
    timer_.cancel();
    asio::error_code ignored;
    socket_.close(ignored);
}

void RequestConnection::makeRoom() {
    if (!socket_.is_open()) return;
    madeRoom_ = true;
    timer_.cancel();
    asio::error_code ignored;
    socket_.close(ignored);
}

std::string RequestConnection::closedBecause(const std::string& otherwise) const {
    return madeRoom_ ? "closed to make room for a newer connection, the port being full"
                     : otherwise;
}

void RequestConnection::start(std::shared_ptr<ConnectionLimits::Ticket> ticket) {
    ticket_ = std::move(ticket);
    deadline_ = std::chrono::steady_clock::now() + ctx_.timeout;
    armTimer(ctx_.timeout);
    request_.resize(1);
    asio::async_read(socket_, asio::buffer(request_),
                     [self = shared_from_this()](const asio::error_code& ec, size_t) {
                         if (ec) {
                             self->finish(self->timedOut_
                                              ? "no request in time, closed"
                                              : self->closedBecause("closed before any request"));
                             return;
                         }
                         self->readRest();
                     });
}

void RequestConnection::readRest() {
    auto size = RequestHandler::requestSize(port_, request_[0]);
    if (!size) {
        finish("unknown request code " + std::to_string(request_[0]) + ", closed");
        return;
    }
    request_.resize(*size);
    if (*size == 1) {
        dispatch();
        return;
    }
    asio::async_read(
        socket_, asio::buffer(request_.data() + 1, *size - 1),
        [self = shared_from_this()](const asio::error_code& ec, size_t n) {
            if (ec) {
                self->finish(self->timedOut_
                                 ? "request not complete in time, closed"
                                 : self->closedBecause("request cut short after " +
                                                       std::to_string(n + 1) + " bytes, closed"));
                return;
            }
            self->dispatch();
        });
}

void RequestConnection::dispatch() {
    ticket_->setWaiting(false);  // its work begins: from here on it keeps its place
    if (std::optional<Handled> early = ctx_.handler.screen(port_, request_, address_)) {
        answer(std::move(*early));
        return;
    }
    WorkQueue& queue = RequestHandler::hashes(port_, request_[0]) ? ctx_.hashing : ctx_.quick;
    auto self = shared_from_this();
    bool queued = queue.submit(
        deadline_,
        [self] {
            // The work has begun in time; the request deadline is met.
            asio::post(self->ctx_.io, [self] { self->timer_.cancel(); });
            Handled h = self->ctx_.handler.handle(self->port_, self->request_, self->address_);
            asio::post(self->ctx_.io,
                       [self, h = std::move(h)]() mutable { self->answer(std::move(h)); });
        },
        [self, name = queue.name()] {
            asio::post(self->ctx_.io, [self, name] {
                self->finish("waited for a " + name + " worker past its deadline, closed");
            });
        });
    if (!queued) answer(ctx_.handler.busy(port_, request_));
}

void RequestConnection::answer(Handled h) {
    if (!socket_.is_open()) {
        logLine(peer_ + " " + h.what + ": " + h.note + "; not sent, the connection was closed");
        return;
    }
    logHandled(h);
    if (h.reply.empty()) {
        finish("");
        return;
    }
    writeReply(std::move(h.reply));
}

void RequestConnection::logHandled(const Handled& h) {
    zrtserver::logLine(peer_ + " " + h.what + ": " + h.note);
}

void RequestConnection::writeReply(std::vector<uint8_t> reply) {
    reply_ = std::move(reply);
    timedOut_ = false;
    armTimer(ctx_.timeout);
    asio::async_write(socket_, asio::buffer(reply_),
                      [self = shared_from_this()](const asio::error_code& ec, size_t) {
                          if (ec) {
                              self->finish(self->timedOut_
                                               ? "reply not taken in time, closed"
                                               : "reply not delivered: " + ec.message());
                              return;
                          }
                          self->drainAndClose();
                      });
}

void RequestConnection::drainAndClose() {
    ticket_->setWaiting(true);  // the reply is out: the place may go to a newcomer
    asio::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_send, ignored);
    armTimer(kDrainLimit);
    drainNext();
}

void RequestConnection::drainNext() {
    socket_.async_read_some(asio::buffer(drain_),
                            [self = shared_from_this()](const asio::error_code& ec, size_t) {
                                if (ec) {
                                    self->timer_.cancel();
                                    asio::error_code e;
                                    self->socket_.close(e);
                                    return;
                                }
                                self->drainNext();
                            });
}

}  // namespace zrtserver
