// Helpers of the loopback tests: bounded waits, draining a player's queue, and RawPeer, a bare
// TCP peer that speaks the session protocol frame by frame (to misbehave on purpose, or to
// play a host that falls silent).
#pragma once

#include <asio.hpp>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "playnet/client.h"
#include "playnet/frame.h"
#include "playnet/host.h"
#include "playnet/system_messages.h"
#include "playnet/wire_messages.h"

namespace playnet_test {

using namespace playnet;

inline const Guid kAppA = *Guid::Parse("{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
inline const Guid kAppB = *Guid::Parse("{12345678-9ABC-DEF0-1234-56789ABCDEF0}");

// Polls `done` every 10 ms for at most `ms`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct Received {
    PlayerId from = 0;
    PlayerId to = 0;
    std::vector<uint8_t> data;
    bool isSystem(uint32_t type) const {
        auto m = SystemMessage::Decode(data.data(), data.size());
        return from == kSystemPlayer && m && m->type == type;
    }
};

// The next message for `player` (0: any local player), waiting on its event at most `ms`.
inline std::optional<Received> NextMessage(Client& c, AutoResetEvent& event, PlayerId player,
                                           int ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::vector<uint8_t> buf(256);
    for (;;) {
        Received r;
        r.to = player;
        size_t size = buf.size();
        Result res = c.Receive(r.from, r.to, buf.data(), size);
        if (res == Result::BufferTooSmall) {
            buf.resize(size);
            continue;
        }
        if (res == Result::Ok) {
            r.data.assign(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(size));
            return r;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        event.wait(static_cast<int>(left.count()));
    }
}

// Skips system messages other than `type` until one of `type` arrives.
inline bool WaitSystem(Client& c, AutoResetEvent& event, PlayerId player, uint32_t type,
                       int ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        auto m = NextMessage(c, event, player, static_cast<int>(left.count()));
        if (!m) return false;
        if (m->isSystem(type)) return true;
    }
}

inline HostOptions HostAt(const std::string& address) {
    HostOptions o;
    o.listenAddress = address;
    return o;
}

// The password the test sessions are opened with.
inline constexpr const char* kPassword = "VOLKEN";

inline SessionConfig Hall(const std::string& name, uint32_t maxPlayers = 50,
                          const std::string& password = kPassword, Guid app = kAppA) {
    SessionConfig c;
    c.name = name;
    c.application = app;
    c.maxPlayers = maxPlayers;
    c.password = password;
    return c;
}

// A bare protocol peer on a blocking socket; every read is bounded.
class RawPeer {
  public:
    bool Connect(const std::string& address, uint16_t port = kDefaultPort) {
        asio::error_code ec;
        socket_.connect({asio::ip::make_address(address), port}, ec);
        return !ec;
    }
    bool Accept(asio::ip::tcp::acceptor& acceptor, int ms) {
        bool done = false;
        asio::error_code err;
        acceptor.async_accept(socket_, [&](const asio::error_code& ec) {
            done = true;
            err = ec;
        });
        run(acceptor, done, ms);
        return done && !err;
    }
    bool Write(const std::vector<uint8_t>& bytes) {
        asio::error_code ec;
        asio::write(socket_, asio::buffer(bytes), ec);
        return !ec;
    }
    // The next frame other than a heartbeat, within `ms`.
    std::optional<std::pair<FrameType, std::vector<uint8_t>>> ReadFrame(int ms = 5000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            uint8_t type;
            std::span<const uint8_t> body;
            while (decoder_.Next(type, body) == FrameDecoder::Status::Frame) {
                if (type == static_cast<uint8_t>(FrameType::Heartbeat)) continue;
                return std::make_pair(static_cast<FrameType>(type),
                                      std::vector<uint8_t>(body.begin(), body.end()));
            }
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            end - std::chrono::steady_clock::now())
                                            .count());
            if (left <= 0 || readSome(left) <= 0) return std::nullopt;
        }
    }
    // True when the other side closes the connection within `ms`.
    bool WaitClosed(int ms = 5000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            end - std::chrono::steady_clock::now())
                                            .count());
            if (left <= 0) return false;
            int n = readSome(left);
            if (n < 0) return true;
            if (n == 0) return false;
        }
    }
    // Hello, open and one player, as a client does.
    bool Join(const Guid& instance, const std::string& password, PlayerId& id) {
        if (!Write(HelloFrame{}.Encode())) return false;
        auto hello = ReadFrame();
        if (!hello || hello->first != FrameType::Hello) return false;
        Write(OpenRequestFrame{1, instance, password}.Encode());
        auto open = ReadFrame();
        if (!open || open->first != FrameType::OpenReply) return false;
        if (OpenReplyFrame::Decode(open->second)->status != WireStatus::Ok) return false;
        Write(CreatePlayerFrame{2, "raw"}.Encode());
        for (;;) {
            auto f = ReadFrame();
            if (!f) return false;
            if (f->first != FrameType::CreatePlayerReply) continue;
            auto r = CreatePlayerReplyFrame::Decode(f->second);
            id = r->player;
            return r->status == WireStatus::Ok;
        }
    }
    void Close() {
        asio::error_code ec;
        socket_.close(ec);
    }
    asio::io_context& io() { return io_; }

  private:
    template <typename Cancellable>
    void run(Cancellable& c, bool& done, int ms) {
        io_.restart();
        io_.run_for(std::chrono::milliseconds(ms));
        if (!done) {
            asio::error_code ec;
            c.cancel(ec);
            io_.restart();
            io_.run();
        }
    }
    // Bytes read (> 0), 0 on time-out, -1 when the connection ended.
    int readSome(int ms) {
        bool done = false;
        asio::error_code err;
        size_t n = 0;
        socket_.async_read_some(asio::buffer(buf_), [&](const asio::error_code& ec, size_t k) {
            done = true;
            err = ec;
            n = k;
        });
        run(socket_, done, ms);
        if (err && err != asio::error::operation_aborted) return -1;
        if (!done || err) return 0;
        decoder_.Append(buf_.data(), n);
        return static_cast<int>(n);
    }

    asio::io_context io_;
    asio::ip::tcp::socket socket_{io_};
    FrameDecoder decoder_;
    std::vector<uint8_t> buf_ = std::vector<uint8_t>(16384);
};

}  // namespace playnet_test
