// ServerExchange over Asio. The exchange owns an io_context that only the running thread
// drives: each step starts one asynchronous operation and runs the context until it completes.
// cancel() raises a flag and posts a cancel of the socket's (and resolver's) operations to that
// context, so a pending operation ends as "interrupted" (operation_aborted). The flag is
// checked on the running thread before every step starts; a cancel that lands between a check
// and the start of the operation is still queued behind it and breaks it off.
#include "lobby/net/server_exchange.h"

#include <algorithm>
#include <asio.hpp>

#include "lobby/net/reply_prefix.h"
#include "lobby/net/request_code.h"

namespace zrt {

using asio::ip::tcp;

struct ServerExchange::Io {
    asio::io_context ctx;
    tcp::resolver resolver{ctx};
    tcp::socket socket{ctx};

    // Runs the context until the operation started by `start` has called its handler.
    template <class Start>
    asio::error_code await(Start start, size_t* count = nullptr) {
        bool done = false;
        asio::error_code result;
        start([&](const asio::error_code& ec, size_t n) {
            result = ec;
            if (count) *count = n;
            done = true;
        });
        ctx.restart();
        while (!done && ctx.run_one()) {
        }
        if (!done) return asio::error::operation_aborted;
        return result;
    }

    void close() {
        asio::error_code ignored;
        socket.shutdown(tcp::socket::shutdown_both, ignored);
        socket.close(ignored);
    }
};

ServerExchange::ServerExchange(std::string host, int port)
    : host_(std::move(host)), port_(port > 0 ? port : kDatabasePort), io_(std::make_unique<Io>()) {}

ServerExchange::~ServerExchange() {
    if (io_) io_->close();
}

bool ServerExchange::setRequest(const std::vector<uint8_t>& bytes) {
    if (bytes.size() > kRequestMax) return false;
    request_ = bytes;
    return true;
}

bool ServerExchange::setPrefixWidth(int width) {
    if (width < 0 || width > kMaxPrefixWidth) return false;
    prefixWidth_ = width;
    return true;
}

void ServerExchange::cancel() {
    cancelled_.store(true);
    Io* io = io_.get();
    asio::post(io->ctx, [io] {
        asio::error_code ignored;
        io->resolver.cancel();
        io->socket.cancel(ignored);
    });
}

int ServerExchange::run() {
    Io& io = *io_;
    reply_.clear();
    // The outcome of a step that ended without what it needed.
    auto fail = [&]() {
        io.close();
        reply_.clear();
        result_ = cancelled_.load() ? 0 : -1;
        return result_;
    };
    auto stop = [&]() {
        io.close();
        reply_.clear();
        result_ = 0;
        return result_;
    };

    if (cancelled_.load()) return stop();
    if (host_.empty()) return fail();

    // A dotted IPv4 address first, else the first IPv4 address of the host name.
    tcp::endpoint endpoint;
    asio::error_code ec;
    asio::ip::address_v4 v4 = asio::ip::make_address_v4(host_, ec);
    if (!ec) {
        endpoint = tcp::endpoint(v4, static_cast<unsigned short>(port_));
    } else {
        tcp::resolver::results_type results;
        ec = io.await([&](auto handler) {
            io.resolver.async_resolve(
                tcp::v4(), host_, std::to_string(port_),
                [&, handler](const asio::error_code& e, tcp::resolver::results_type r) mutable {
                    results = std::move(r);
                    handler(e, 0);
                });
        });
        if (ec || results.empty()) return fail();
        endpoint = results.begin()->endpoint();
    }

    if (cancelled_.load()) return stop();
    ec = io.await([&](auto handler) {
        io.socket.async_connect(endpoint,
                                [handler](const asio::error_code& e) mutable { handler(e, 0); });
    });
    if (cancelled_.load()) return stop();
    if (ec) return fail();

    size_t n = 0;
    ec = io.await(
        [&](auto handler) { asio::async_write(io.socket, asio::buffer(request_), handler); }, &n);
    if (cancelled_.load()) return stop();
    if (ec || (n == 0 && !request_.empty())) return fail();

    // First read: at most 2048 bytes.
    std::vector<uint8_t> chunk(kFirstReadMax);
    size_t held = 0;
    ec = io.await([&](auto handler) { io.socket.async_read_some(asio::buffer(chunk), handler); },
                  &n);
    if (ec || n == 0) return fail();
    held = n;

    if (prefixWidth_ == 0) {
        chunk.resize(held);
        reply_ = std::move(chunk);
        io.close();
        result_ = static_cast<int>(held);
        return result_;
    }

    // A first read shorter than the prefix keeps reading until the prefix is complete.
    const size_t width = static_cast<size_t>(prefixWidth_);
    while (held < width) {
        if (cancelled_.load()) return stop();
        ec = io.await(
            [&](auto handler) {
                io.socket.async_read_some(asio::buffer(chunk.data() + held, width - held), handler);
            },
            &n);
        if (ec || n == 0) return fail();
        held += n;
    }

    size_t total = *declaredLength(chunk.data(), held, prefixWidth_) + width;
    // Bytes beyond the declared total are not part of the reply and are dropped.
    held = std::min(held, total);
    reply_.assign(total, 0);
    std::copy(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(held), reply_.begin());
    while (held < total) {
        if (cancelled_.load()) return stop();
        ec = io.await(
            [&](auto handler) {
                io.socket.async_read_some(asio::buffer(reply_.data() + held, total - held),
                                          handler);
            },
            &n);
        if (ec || n == 0) return fail();
        held += n;
    }
    io.close();
    result_ = static_cast<int>(total);
    return result_;
}

}  // namespace zrt
