// Accepting connections.
#include "server/listener.h"

#include "server/log.h"
#include "server/request_connection.h"

namespace zrtserver {

using asio::ip::tcp;

namespace {
// A failed accept (out of descriptors) is tried again after this pause, not at once.
constexpr auto kAcceptRetry = std::chrono::milliseconds(100);
constexpr auto kAcceptErrorLogInterval = std::chrono::seconds(60);
}  // namespace

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
            // Out of descriptors or the like: pause instead of spinning, and say so once a
            // minute rather than ten times a second.
            auto now = std::chrono::steady_clock::now();
            if (now - lastAcceptError_ >= kAcceptErrorLogInterval) {
                lastAcceptError_ = now;
                logLine(std::string(port_ == Port::Version ? "version" : "database") +
                        " port: accept failed: " + ec.message() + "; trying again every " +
                        std::to_string(kAcceptRetry.count()) + " ms");
            }
            retry_ = std::make_unique<asio::steady_timer>(ctx_.io, kAcceptRetry);
            retry_->async_wait([this](const asio::error_code& e) {
                if (!e) acceptNext();
            });
            return;
        }
        asio::error_code e;
        tcp::endpoint peer = socket.remote_endpoint(e);
        if (!e) {
            std::string address = peer.address().to_string();
            auto conn = std::make_shared<RequestConnection>(ctx_, port_, std::move(socket), peer);
            auto ticket = limits_.admit(address, [weak = std::weak_ptr<RequestConnection>(conn)] {
                if (std::shared_ptr<RequestConnection> c = weak.lock()) c->makeRoom();
            });
            if (ticket) conn->start(std::move(ticket));
        }
        // A refused connection (or one gone already) closes as it leaves this scope.
        acceptNext();
    });
}

}  // namespace zrtserver
