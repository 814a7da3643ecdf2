// Bounded TCP connect and host name resolution.
#include "playnet/dialer.h"

#include <memory>

namespace playnet {
namespace {

struct DialState {
    explicit DialState(asio::io_context& io) : socket(io), timer(io) {}
    asio::ip::tcp::socket socket;
    asio::steady_timer timer;
    DialDone done;
    bool finished = false;
};

}  // namespace

void Dial(asio::io_context& io, const std::vector<asio::ip::tcp::endpoint>& endpoints,
          int timeoutMs, DialDone done) {
    asio::post(io, [&io, endpoints, timeoutMs, done = std::move(done)]() mutable {
        auto st = std::make_shared<DialState>(io);
        st->done = std::move(done);
        if (endpoints.empty()) {
            st->done(std::nullopt);
            return;
        }
        st->timer.expires_after(std::chrono::milliseconds(timeoutMs));
        st->timer.async_wait([st](const asio::error_code& ec) {
            if (ec || st->finished) return;
            asio::error_code ignored;
            st->socket.close(ignored);  // the connect then completes with an error
        });
        asio::async_connect(st->socket, endpoints,
                            [st](const asio::error_code& ec, const asio::ip::tcp::endpoint&) {
                                st->finished = true;
                                st->timer.cancel();
                                if (ec) {
                                    st->done(std::nullopt);
                                } else {
                                    st->done(std::move(st->socket));
                                }
                            });
    });
}

std::vector<asio::ip::tcp::endpoint> ResolveHost(const std::string& host, uint16_t port) {
    std::vector<asio::ip::tcp::endpoint> out;
    if (host.empty()) return out;
    asio::error_code ec;
    asio::ip::address_v4 v4 = asio::ip::make_address_v4(host, ec);
    if (!ec) {
        out.emplace_back(v4, port);
        return out;
    }
    asio::io_context io;
    asio::ip::tcp::resolver resolver(io);
    auto results = resolver.resolve(asio::ip::tcp::v4(), host, std::to_string(port), ec);
    if (ec) return out;
    for (const auto& r : results) out.push_back(r.endpoint());
    return out;
}

}  // namespace playnet
