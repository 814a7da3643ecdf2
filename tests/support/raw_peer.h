// Test support: RawPeer, a hand-made TCP connection to one of zrtserver's ports from a source
// address of the test's choosing (any 127.x.y.z), for clients the lobby would never be: one
// that claims a name from another address, trickles, floods or never reads. It speaks the
// hall protocol's frames when asked to; every wait is bounded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "playnet/wire_messages.h"

namespace zrttest {

class RawPeer {
  public:
    RawPeer() = default;
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;
    RawPeer(RawPeer&& other) noexcept : fd_(other.fd_), buf_(std::move(other.buf_)) {
        other.fd_ = -1;
    }

    // Connects from `source` to `host`:`port`; `receiveBuffer` > 0 shrinks the socket's
    // receive buffer first (a peer that never reads then fills up quickly).
    bool connect(const std::string& source, const std::string& host, int port,
                 int receiveBuffer = 0);
    void send(const std::vector<uint8_t>& bytes);
    void close();
    int fd() const { return fd_; }

    // The server closed (or reset) the connection within `ms`; bytes arriving meanwhile are
    // read and dropped.
    bool closedWithin(int ms);
    // Whatever arrives until the server closes, or nothing when it does not close within `ms`.
    std::optional<std::vector<uint8_t>> readUntilClosed(int ms);

    // The hall protocol: Hello, the hall named `hall` (found by enumeration), open, and a
    // player named `name`; its id, or 0.
    uint32_t enterHall(const std::string& hall, const std::string& name);
    // The next frame of `type` (others skipped); nothing when none came within `ms`.
    std::optional<std::vector<uint8_t>> nextFrame(playnet::FrameType type, int ms);
    // The next application message delivered (a Deliver frame's data).
    std::optional<playnet::MessageFrame> nextMessage(int ms);
    // A Send frame from `from` to `to`.
    void sendMessage(uint32_t from, uint32_t to, const std::vector<uint8_t>& data);

  private:
    int fd_ = -1;
    std::vector<uint8_t> buf_;
};

// One request to the version or database port from `source`: the reply (empty when the server
// closed without one), or nothing when it neither answered nor closed within `ms`.
std::optional<std::vector<uint8_t>> askFrom(const std::string& source, const std::string& host,
                                            int port, const std::vector<uint8_t>& request,
                                            int ms = 10000);

}  // namespace zrttest
