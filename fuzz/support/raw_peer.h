// A bare TCP peer of the session protocol for the fuzz targets that play a hostile client
// against the real Host, or a hostile host against the real Client: blocking sockets on
// 127.0.0.1, every wait bounded, frames read with the library's own FrameDecoder.
//
// Placeholders. Ids that the real side hands out while the target runs (player ids, tokens,
// session instance ids) cannot be in a stored input, so inputs name them by placeholders that
// the target replaces before it sends: a 32-bit little-endian value 0xFFFFFF00 + n stands for
// the n-th number of the target's list, and 16 bytes of 0xA0 + n for its n-th GUID.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "playnet/frame.h"
#include "playnet/guid.h"

namespace zrtfuzz {

// A listening socket on 127.0.0.1 at any free port; -1 on failure.
inline int ListenLoopback(uint16_t& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(a.sin_port);
    return fd;
}

// libFuzzer's unit timer raises SIGALRM in the process: a wait it interrupts goes on for the
// time left, and an interrupted transfer is tried again, instead of passing for the peer's
// silence or close.
inline bool Readable(int fd, int ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int left = static_cast<int>(
            std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                     deadline - std::chrono::steady_clock::now())
                                     .count()));
        int r = ::poll(&p, 1, left);
        if (r >= 0 || errno != EINTR) return r > 0;
    }
}

inline ssize_t RecvSome(int fd, void* buf, size_t size) {
    ssize_t n;
    do n = ::recv(fd, buf, size, 0);
    while (n < 0 && errno == EINTR);
    return n;
}

// The next connection, waiting at most `ms`; -1 when none came.
inline int AcceptWithin(int listenFd, int ms) {
    if (!Readable(listenFd, ms)) return -1;
    int fd;
    do fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

inline int ConnectLoopback(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (!connected && errno == EINTR) {
        // The connection goes on in the background: wait (bounded) until it is made or not.
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t len = sizeof error;
        for (int tries = 0; tries < 100 && ::poll(&p, 1, 50) <= 0; ++tries) {
        }
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0 &&
                    (p.revents & POLLOUT);
    }
    if (!connected) {
        ::close(fd);
        return -1;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// False when the peer has gone (the rest is not sent).
inline bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

struct RawFrame {
    uint8_t type = 0;
    std::vector<uint8_t> body;
};

// Reads frames from a socket. `ended` turns true at the peer's close, a reset or garbage.
class FrameReader {
  public:
    explicit FrameReader(int fd) : fd_(fd) {}

    // The next frame within `ms`; nothing on time-out or end.
    std::optional<RawFrame> Next(int ms) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            uint8_t type = 0;
            std::span<const uint8_t> body;
            auto st = decoder_.Next(type, body);
            if (st == playnet::FrameDecoder::Status::Frame)
                return RawFrame{type, {body.begin(), body.end()}};
            if (st == playnet::FrameDecoder::Status::Bad) garbage = ended = true;
            if (ended) return std::nullopt;
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            deadline - std::chrono::steady_clock::now())
                                            .count());
            if (left <= 0 || !Readable(fd_, left)) return std::nullopt;
            uint8_t buf[16384];
            ssize_t n = RecvSome(fd_, buf, sizeof buf);
            if (n <= 0) {
                ended = true;
                return std::nullopt;
            }
            decoder_.Append(buf, static_cast<size_t>(n));
        }
    }
    // The next frame of `type`, skipping others (heartbeats and the like).
    std::optional<RawFrame> NextOf(uint8_t type, int ms) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline) {
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            deadline - std::chrono::steady_clock::now())
                                            .count());
            std::optional<RawFrame> f = Next(left);
            if (!f) return std::nullopt;
            if (f->type == type) return f;
        }
        return std::nullopt;
    }

    bool ended = false;
    bool garbage = false;

  private:
    int fd_;
    playnet::FrameDecoder decoder_;
};

// Replaces the placeholders (see the top of this file) in `bytes`.
inline void Substitute(std::vector<uint8_t>& bytes, const std::vector<uint32_t>& numbers,
                       const std::vector<playnet::Guid>& guids) {
    for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (bytes[i + 1] != 0xFF || bytes[i + 2] != 0xFF || bytes[i + 3] != 0xFF) continue;
        if (bytes[i] >= numbers.size()) continue;
        const uint32_t v = numbers[bytes[i]];
        for (int k = 0; k < 4; ++k) bytes[i + k] = static_cast<uint8_t>(v >> (8 * k));
        i += 3;
    }
    for (size_t i = 0; i + 16 <= bytes.size(); ++i) {
        const uint8_t b = bytes[i];
        if (b < 0xA0 || size_t(b - 0xA0) >= guids.size()) continue;
        if (std::memcmp(bytes.data() + i, bytes.data() + i + 1, 15) != 0) continue;
        std::memcpy(bytes.data() + i, guids[b - 0xA0].bytes.data(), 16);
        i += 15;
    }
}

}  // namespace zrtfuzz
