// Accepting connections.
#include "server/listener.h"

#include "server/connection.h"
#include "server/log.h"

namespace zrtserver {

using asio::ip::tcp;

bool Listener::open(const asio::ip::address_v4& address, unsigned short portNumber,
                    std::string& error) {
    asio::error_code ec;
    tcp::endpoint ep(address, portNumber);
    acceptor_.open(ep.protocol(), ec);
    if (!ec) acceptor_.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec) acceptor_.bind(ep, ec);
    if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error = "cannot listen on " + address.to_string() + ":" + std::to_string(portNumber) +
                ": " + ec.message();
        return false;
    }
    return true;
}

void Listener::start() {
    acceptNext();
}

void Listener::close() {
    asio::error_code ignored;
    acceptor_.close(ignored);
    if (retry_) retry_->cancel();
}

void Listener::acceptNext() {
    acceptor_.async_accept([this](const asio::error_code& ec, tcp::socket socket) {
        if (ec == asio::error::operation_aborted || !acceptor_.is_open()) return;
        if (ec) {
            // Out of descriptors or the like: pause briefly instead of spinning.
            logLine("accept failed: " + ec.message());
            retry_ = std::make_unique<asio::steady_timer>(ctx_.io, std::chrono::milliseconds(100));
            retry_->async_wait([this](const asio::error_code& e) {
                if (!e) acceptNext();
            });
            return;
        }
        if (ctx_.active.load() >= ctx_.maxConnections) {
            asio::error_code ignored;
            socket.close(ignored);
            logLine("connection refused: " + std::to_string(ctx_.maxConnections) +
                    " connections open");
        } else {
            std::make_shared<Connection>(ctx_, port_, std::move(socket))->start();
        }
        acceptNext();
    });
}

}  // namespace zrtserver
