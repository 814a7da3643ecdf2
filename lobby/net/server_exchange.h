// ServerExchange: one request/reply over TCP with a central server, run on the caller's
// (worker) thread and cancellable from any other thread. No Qt: the lobby's progress window
// wraps it, and the tests and benchmarks drive it directly.
//
//   ServerExchange ex(host, port);
//   ex.setRequest(bytes);
//   ex.setPrefixWidth(2);
//   int result = ex.run();   // > 0 bytes received, 0 cancelled or nothing, -1 failure
//   ... ex.cancel() from another thread breaks it off at any point ...
//   ex.reply();              // the bytes received
//
// Framing: the request is sent as it stands; the reply is one read of at most 2048 bytes, or,
// with a prefix of width n, read until the prefix is complete and then until its declared count
// plus n bytes have arrived.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zrt {

class ServerExchange {
  public:
    // A port of 0 or less means the database server's port.
    ServerExchange(std::string host, int port);
    ~ServerExchange();
    ServerExchange(const ServerExchange&) = delete;
    ServerExchange& operator=(const ServerExchange&) = delete;

    // False (and nothing stored) when the request is longer than 1024 bytes.
    bool setRequest(const std::vector<uint8_t>& bytes);
    // 0 (no prefix) up to 2; false for any other width.
    bool setPrefixWidth(int width);

    // Runs the exchange once, blocking the calling thread until it has ended.
    int run();
    // Thread-safe; may come before, during or after run(). A cancelled exchange yields 0 unless
    // its reply was already complete.
    void cancel();

    int result() const { return result_; }
    bool wasCancelled() const { return cancelled_.load(); }
    // Without a prefix: the first read's bytes. With one: the whole reply, prefix included.
    const std::vector<uint8_t>& reply() const { return reply_; }
    int port() const { return port_; }

  private:
    struct Io;

    std::string host_;
    int port_;
    int prefixWidth_ = 0;
    std::vector<uint8_t> request_;
    std::vector<uint8_t> reply_;
    int result_ = 0;
    std::atomic<bool> cancelled_{false};
    std::unique_ptr<Io> io_;
};

}  // namespace zrt
