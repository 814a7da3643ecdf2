// RequestConnection: one accepted socket of the version or database port, one request, one
// reply, then a graceful close. Until its request is in, and again once its reply is out, it may
// be closed to make room for a newer connection when the port is full (see ConnectionLimits).
#pragma once

#include <asio.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "server/listener.h"

namespace zrtserver {

class RequestConnection : public std::enable_shared_from_this<RequestConnection> {
  public:
    RequestConnection(ServeContext& ctx, Port port, asio::ip::tcp::socket socket,
                      const asio::ip::tcp::endpoint& peer);
    ~RequestConnection();
    // `ticket`: the port's admission, held as long as the connection lives.
    void start(std::shared_ptr<ConnectionLimits::Ticket> ticket);
    // Closes the connection to give its place to a newer one (on the I/O thread).
    void makeRoom();

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
    // Why the socket closed under a pending operation, if we closed it; else `otherwise`.
    std::string closedBecause(const std::string& otherwise) const;

    ServeContext& ctx_;
    Port port_;
    asio::ip::tcp::socket socket_;
    std::shared_ptr<ConnectionLimits::Ticket> ticket_;
    asio::steady_timer timer_;
    std::chrono::steady_clock::time_point deadline_;  // to read the request and begin its work
    std::vector<uint8_t> request_;
    std::vector<uint8_t> reply_;
    uint8_t drain_[256];
    std::string address_;  // the peer's address alone
    std::string peer_;     // address, port and the port's name, for the log
    bool timedOut_ = false;
    bool madeRoom_ = false;
};

}  // namespace zrtserver
