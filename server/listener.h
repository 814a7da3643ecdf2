// Listener: accepts the connections of one port and serves one request on each. Reading and
// writing run on the I/O context; the request's work (hashing, database, mail) runs on the
// worker pool, so a slow request never holds up the others. A request that is cut short,
// malformed, or not complete within the time limit is closed without a reply.
#pragma once

#include <asio.hpp>
#include <atomic>
#include <memory>
#include <string>

#include "server/request_handler.h"

namespace zrtserver {

// What every connection shares.
struct ServeContext {
    asio::io_context& io;
    asio::thread_pool& workers;
    RequestHandler& handler;
    std::chrono::seconds timeout;
    int maxConnections;
    std::atomic<int> active{0};
};

class Listener {
  public:
    Listener(ServeContext& ctx, Port port) : ctx_(ctx), port_(port), acceptor_(ctx.io) {}

    // Binds the address at the port's number; false with a reason on failure.
    bool open(const asio::ip::address_v4& address, unsigned short portNumber, std::string& error);
    void start();
    void close();

  private:
    void acceptNext();

    ServeContext& ctx_;
    Port port_;
    asio::ip::tcp::acceptor acceptor_;
    std::unique_ptr<asio::steady_timer> retry_;
};

}  // namespace zrtserver
