// Connection: one accepted socket, one request, one reply, then a graceful close.
#pragma once

#include <asio.hpp>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "server/listener.h"

namespace zrtserver {

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    Connection(ServeContext& ctx, Port port, asio::ip::tcp::socket socket);
    ~Connection();
    void start();

  private:
    void readRest();
    void dispatch();
    void writeReply(std::vector<uint8_t> reply);
    void drainAndClose();
    void drainNext();
    void logHandled(const Handled& h);
    void armTimer(std::chrono::steady_clock::duration d);
    void finish(const std::string& note);

    ServeContext& ctx_;
    Port port_;
    asio::ip::tcp::socket socket_;
    asio::steady_timer timer_;
    std::vector<uint8_t> request_;
    std::vector<uint8_t> reply_;
    uint8_t drain_[256];
    std::string peer_;
    bool timedOut_ = false;
};

}  // namespace zrtserver
