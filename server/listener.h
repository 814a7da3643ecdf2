// Listener: accepts the connections of one port and serves one request on each. Reading and
// writing run on the I/O context; the request's work runs on a worker queue: logins and new
// accounts on the hashing queue, everything else on the quick one, so a slow request never
// holds up the others. The port admits connections within its limits (in total and per peer
// address; a full port closes its longest idle connection for a newcomer); a refused one is
// closed at once. A request that is cut short, malformed, or not read and begun within the
// time limit is closed without a reply.
#pragma once

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "server/connection_limits.h"
#include "server/request_handler.h"
#include "server/work_queue.h"

namespace zrtserver {

// What every connection shares.
struct ServeContext {
    asio::io_context& io;
    WorkQueue& quick;    // version, ladder, banner
    WorkQueue& hashing;  // logins and new accounts
    RequestHandler& handler;
    std::chrono::seconds timeout;
    std::atomic<int> active{0};
};

class Listener {
  public:
    Listener(ServeContext& ctx, Port port, ConnectionLimits& limits)
        : ctx_(ctx), port_(port), limits_(limits), acceptor_(ctx.io) {}

    // Binds the address at the port's number; false with a reason on failure.
    bool open(const asio::ip::address_v4& address, unsigned short portNumber, std::string& error);
    void start();
    void close();

  private:
    void acceptNext();

    ServeContext& ctx_;
    Port port_;
    ConnectionLimits& limits_;
    asio::ip::tcp::acceptor acceptor_;
    std::unique_ptr<asio::steady_timer> retry_;
    std::chrono::steady_clock::time_point lastAcceptError_{};
};

}  // namespace zrtserver
