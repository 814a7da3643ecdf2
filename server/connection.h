// Connection: one accepted socket, one request, one reply, then a graceful close.
#pragma once

#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "server/listener.h"

namespace zrtserver {

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    // `ticket`: the port's admission, held as long as the connection lives.
    Connection(ServeContext& ctx, Port port, asio::ip::tcp::socket socket,
               std::shared_ptr<void> ticket, const asio::ip::tcp::endpoint& peer);
    ~Connection();
    void start();

  private:
    void readRest();
    void dispatch();
    void answer(Handled h);
    void writeReply(std::vector<uint8_t> reply);
    void drainAndClose();
    void drainNext();
    void logHandled(const Handled& h);
    void armTimer(std::chrono::steady_clock::duration d);
    void finish(const std::string& note);

    ServeContext& ctx_;
    Port port_;
    asio::ip::tcp::socket socket_;
    std::shared_ptr<void> ticket_;
    asio::steady_timer timer_;
    std::chrono::steady_clock::time_point deadline_;  // to read the request and begin its work
    std::vector<uint8_t> request_;
    std::vector<uint8_t> reply_;
    uint8_t drain_[256];
    std::string address_;  // the peer's address alone
    std::string peer_;     // address, port and the port's name, for the log
    bool timedOut_ = false;
};

}  // namespace zrtserver
