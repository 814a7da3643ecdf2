// Serving one connection: read the request (its size follows from its first byte), hand it to
// a worker, write the reply, then shut down our side and drain the peer's before closing, so
// the reply is not cut off by a reset.
#include "server/connection.h"

#include "server/log.h"

namespace zrtserver {

using asio::ip::tcp;

namespace {
constexpr auto kDrainLimit = std::chrono::seconds(2);
}

Connection::Connection(ServeContext& ctx, Port port, tcp::socket socket)
    : ctx_(ctx), port_(port), socket_(std::move(socket)), timer_(ctx.io) {
    ctx_.active.fetch_add(1);
    asio::error_code ec;
    auto ep = socket_.remote_endpoint(ec);
    peer_ = ec ? std::string("?") : ep.address().to_string() + ":" + std::to_string(ep.port());
    peer_ += port_ == Port::Version ? " [version]" : " [database]";
}

Connection::~Connection() {
    ctx_.active.fetch_sub(1);
}

void Connection::armTimer(std::chrono::steady_clock::duration d) {
    timer_.expires_after(d);
    timer_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
        if (ec) return;
        self->timedOut_ = true;
        asio::error_code ignored;
        self->socket_.close(ignored);
    });
}

void Connection::finish(const std::string& note) {
    if (!note.empty()) logLine(peer_ + " " + note);
    timer_.cancel();
    asio::error_code ignored;
    socket_.close(ignored);
}

void Connection::start() {
    armTimer(ctx_.timeout);
    request_.resize(1);
    asio::async_read(socket_, asio::buffer(request_),
                     [self = shared_from_this()](const asio::error_code& ec, size_t) {
                         if (ec) {
                             self->finish(self->timedOut_ ? "no request in time, closed"
                                                          : "closed before any request");
                             return;
                         }
                         self->readRest();
                     });
}

void Connection::readRest() {
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
    asio::async_read(socket_, asio::buffer(request_.data() + 1, *size - 1),
                     [self = shared_from_this()](const asio::error_code& ec, size_t n) {
                         if (ec) {
                             self->finish(self->timedOut_
                                              ? "request not complete in time, closed"
                                              : "request cut short after " + std::to_string(n + 1) +
                                                    " bytes, closed");
                             return;
                         }
                         self->dispatch();
                     });
}

void Connection::dispatch() {
    timer_.cancel();
    asio::post(ctx_.workers, [self = shared_from_this()] {
        Handled h = self->ctx_.handler.handle(self->port_, self->request_);
        asio::post(self->ctx_.io, [self, h = std::move(h)]() mutable {
            self->logHandled(h);
            if (h.reply.empty()) {
                self->finish("");
                return;
            }
            self->writeReply(std::move(h.reply));
        });
    });
}

void Connection::logHandled(const Handled& h) {
    zrtserver::logLine(peer_ + " " + h.what + ": " + h.note);
}

void Connection::writeReply(std::vector<uint8_t> reply) {
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

void Connection::drainAndClose() {
    asio::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_send, ignored);
    armTimer(kDrainLimit);
    drainNext();
}

void Connection::drainNext() {
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
