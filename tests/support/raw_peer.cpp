// RawPeer: the hand-made connection of the server tests.
#include "tests/support/raw_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "playnet/bytes.h"
#include "playnet/frame.h"
#include "tests/support/hall_bot.h"
#include "tests/support/wait_until.h"

namespace zrttest {

using Clock = std::chrono::steady_clock;

namespace {

// Waits until fd has something to read or the deadline passes; a signal does not end the wait.
bool WaitReadable(int fd, Clock::time_point end) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, MsLeft(end));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

}  // namespace

RawPeer::~RawPeer() {
    close();
}

bool RawPeer::connect(const std::string& source, const std::string& host, int port,
                      int receiveBuffer) {
    close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (receiveBuffer > 0)
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &remote.sin_addr);
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        close();
        return false;
    }
    return true;
}

void RawPeer::send(const std::vector<uint8_t>& bytes) {
    if (fd_ >= 0 && !bytes.empty())
        (void)::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void RawPeer::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::optional<std::vector<uint8_t>> RawPeer::readUntilClosed(int ms) {
    std::vector<uint8_t> out;
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (fd_ >= 0) {
        if (!WaitReadable(fd_, end)) return std::nullopt;
        uint8_t chunk[16384];
        ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return out;
        out.insert(out.end(), chunk, chunk + n);
    }
    return out;
}

bool RawPeer::closedWithin(int ms) {
    return readUntilClosed(ms).has_value();
}

std::optional<std::vector<uint8_t>> RawPeer::nextFrame(playnet::FrameType type, int ms) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        // A whole frame at the front of what was read?
        while (buf_.size() >= playnet::kFramePrefixSize) {
            playnet::ByteReader r(buf_.data(), playnet::kFramePrefixSize);
            size_t len = r.u32();
            if (len < 1 || buf_.size() < playnet::kFramePrefixSize + len) break;
            auto first = buf_.begin() + static_cast<long>(playnet::kFramePrefixSize);
            uint8_t got = *first;
            std::vector<uint8_t> body(first + 1, first + static_cast<long>(len));
            buf_.erase(buf_.begin(), first + static_cast<long>(len));
            if (got == static_cast<uint8_t>(type)) return body;
        }
        if (fd_ < 0 || !WaitReadable(fd_, end)) return std::nullopt;
        uint8_t chunk[16384];
        ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        buf_.insert(buf_.end(), chunk, chunk + n);
    }
}

uint32_t RawPeer::enterHall(const std::string& hall, const std::string& name) {
    constexpr int kWaitMs = 10000;
    send(playnet::HelloFrame{}.Encode());
    send(playnet::EnumRequestFrame{1, kHallApp}.Encode());
    std::optional<std::vector<uint8_t>> body = nextFrame(playnet::FrameType::EnumReply, kWaitMs);
    if (!body) return 0;
    std::optional<playnet::EnumReplyFrame> list = playnet::EnumReplyFrame::Decode(*body);
    if (!list) return 0;
    for (const playnet::SessionDesc& d : list->sessions) {
        if (d.name != hall) continue;
        send(playnet::OpenRequestFrame{2, d.instance, zrt::kHallPassword}.Encode());
        body = nextFrame(playnet::FrameType::OpenReply, kWaitMs);
        auto open = body ? playnet::OpenReplyFrame::Decode(*body) : std::nullopt;
        if (!open || open->status != playnet::WireStatus::Ok) return 0;
        send(playnet::CreatePlayerFrame{3, name}.Encode());
        body = nextFrame(playnet::FrameType::CreatePlayerReply, kWaitMs);
        auto created = body ? playnet::CreatePlayerReplyFrame::Decode(*body) : std::nullopt;
        if (!created || created->status != playnet::WireStatus::Ok) return 0;
        return created->player;
    }
    return 0;
}

std::optional<playnet::MessageFrame> RawPeer::nextMessage(int ms) {
    std::optional<std::vector<uint8_t>> body = nextFrame(playnet::FrameType::Deliver, ms);
    if (!body) return std::nullopt;
    return playnet::MessageFrame::Decode(*body);
}

void RawPeer::sendMessage(uint32_t from, uint32_t to, const std::vector<uint8_t>& data) {
    send(playnet::MessageFrame::EncodeFrom(playnet::FrameType::Send, from, to,
                                           playnet::kSendGuaranteed, data.data(), data.size()));
}

std::optional<std::vector<uint8_t>> askFrom(const std::string& source, const std::string& host,
                                            int port, const std::vector<uint8_t>& request, int ms) {
    RawPeer peer;
    if (!peer.connect(source, host, port)) return std::vector<uint8_t>{};
    peer.send(request);
    return peer.readUntilClosed(ms);
}

}  // namespace zrttest
