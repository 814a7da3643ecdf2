// ServerExchange against deliberately misbehaving peers written here on plain POSIX sockets:
// replies in many segments, short replies, closed connections, silent servers cancelled from
// another thread. Each test listens on its own loopback address 127.0.5.N.
#include "lobby/net/server_exchange.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "playnet/auto_reset_event.h"

namespace zrt {
namespace {

constexpr int kWaitMs = 10000;

// Accepts one connection on ip:<ephemeral port> and runs `script` on it, then closes it.
class Peer {
  public:
    Peer(const std::string& ip, std::function<void(int)> script) : script_(std::move(script)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        ::inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
        a.sin_port = 0;
        bound_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                 ::listen(listener_, 4) == 0;
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~Peer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }
    bool bound() const { return bound_; }
    std::vector<uint8_t> received() const { return received_; }

    // Helpers for scripts.
    static void sendAll(int fd, const std::vector<uint8_t>& b) {
        size_t off = 0;
        while (off < b.size()) {
            ssize_t n = ::send(fd, b.data() + off, b.size() - off, MSG_NOSIGNAL);
            if (n <= 0) return;
            off += static_cast<size_t>(n);
        }
    }
    // Reads exactly n bytes (bounded wait); returns what arrived.
    static std::vector<uint8_t> readN(int fd, size_t n) {
        std::vector<uint8_t> out;
        while (out.size() < n) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kWaitMs) <= 0) break;
            uint8_t buf[256];
            ssize_t got = ::recv(fd, buf, std::min(sizeof buf, n - out.size()), 0);
            if (got <= 0) break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }
    // Waits (bounded) until the client has closed its side.
    static void waitForClose(int fd) {
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kWaitMs) <= 0) return;
            uint8_t buf[256];
            if (::recv(fd, buf, sizeof buf, 0) <= 0) return;
        }
    }

  private:
    void serve() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0) return;
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            script_(fd);
            ::close(fd);
            return;
        }
    }

    std::function<void(int)> script_;
    int listener_ = -1;
    int port_ = 0;
    bool bound_ = false;
    std::atomic<bool> stop_{false};
    std::vector<uint8_t> received_;
    std::thread thread_;
};

std::vector<uint8_t> prefixed(size_t declared, size_t bodyBytes) {
    std::vector<uint8_t> b = {static_cast<uint8_t>(declared >> 8), static_cast<uint8_t>(declared)};
    for (size_t i = 0; i < bodyBytes; ++i) b.push_back(static_cast<uint8_t>(i * 7));
    return b;
}

TEST(ServerExchangeFraming, PrefixedReplyInManySegmentsIsAssembled) {
    const std::vector<uint8_t> reply = prefixed(1000, 1000);
    std::vector<uint8_t> seen;
    Peer peer("127.0.5.1", [&](int fd) {
        seen = Peer::readN(fd, 3);
        for (size_t off = 0; off < reply.size(); off += 7) {
            Peer::sendAll(fd,
                          std::vector<uint8_t>(reply.begin() + off,
                                               reply.begin() + std::min(off + 7, reply.size())));
            if (off % 140 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Peer::waitForClose(fd);
    });
    ASSERT_TRUE(peer.bound());
    ServerExchange ex("127.0.5.1", peer.port());
    ASSERT_TRUE(ex.setRequest({1, 2, 3}));
    ASSERT_TRUE(ex.setPrefixWidth(2));
    EXPECT_EQ(ex.run(), 1002);
    EXPECT_EQ(ex.reply(), reply);
    EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(ServerExchangeFraming, PrefixDeclaringZeroAndFirstReadShorterThanPrefix) {
    {
        Peer peer("127.0.5.2", [](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, {0, 0});
            Peer::waitForClose(fd);
        });
        ServerExchange ex("127.0.5.2", peer.port());
        ex.setRequest({5});
        ex.setPrefixWidth(2);
        EXPECT_EQ(ex.run(), 2);
        EXPECT_EQ(ex.reply(), (std::vector<uint8_t>{0, 0}));
    }
    {
        // One byte of the prefix, a pause, then the rest.
        const std::vector<uint8_t> reply = prefixed(300, 300);
        Peer peer("127.0.5.2", [&](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, {reply[0]});
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            Peer::sendAll(fd, std::vector<uint8_t>(reply.begin() + 1, reply.end()));
            Peer::waitForClose(fd);
        });
        ServerExchange ex("127.0.5.2", peer.port());
        ex.setRequest({5});
        ex.setPrefixWidth(2);
        EXPECT_EQ(ex.run(), 302);
        EXPECT_EQ(ex.reply(), reply);
    }
}

TEST(ServerExchangeFraming, ShortOrOverlongPrefixedReplies) {
    {
        // The prefix promises 100 bytes; 50 come, then the connection closes.
        Peer peer("127.0.5.3", [](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, prefixed(100, 50));
        });
        ServerExchange ex("127.0.5.3", peer.port());
        ex.setRequest({1});
        ex.setPrefixWidth(2);
        EXPECT_EQ(ex.run(), -1);
        EXPECT_TRUE(ex.reply().empty());
    }
    {
        // Only one byte of a 2-byte prefix, then the connection closes.
        Peer peer("127.0.5.3", [](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, {0});
        });
        ServerExchange ex("127.0.5.3", peer.port());
        ex.setRequest({1});
        ex.setPrefixWidth(2);
        EXPECT_EQ(ex.run(), -1);
    }
    {
        // More bytes than declared arrive in the first read: the reply is the declared total.
        std::vector<uint8_t> reply = prefixed(3, 3);
        std::vector<uint8_t> sent = reply;
        sent.insert(sent.end(), 10, 0xEE);
        Peer peer("127.0.5.3", [&](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, sent);
            Peer::waitForClose(fd);
        });
        ServerExchange ex("127.0.5.3", peer.port());
        ex.setRequest({1});
        ex.setPrefixWidth(2);
        EXPECT_EQ(ex.run(), 5);
        EXPECT_EQ(ex.reply(), reply);
    }
}

TEST(ServerExchangeFraming, ReplyWithoutPrefixIsTheFirstReadOnly) {
    Peer peer("127.0.5.4", [](int fd) {
        Peer::readN(fd, 12);
        Peer::sendAll(fd, std::vector<uint8_t>(10, 'a'));
        // The second segment goes out only after the client has closed.
        Peer::waitForClose(fd);
        Peer::sendAll(fd, std::vector<uint8_t>(10, 'b'));
    });
    ServerExchange ex("127.0.5.4", peer.port());
    ex.setRequest(std::vector<uint8_t>(12, 0));
    EXPECT_EQ(ex.run(), 10);
    EXPECT_EQ(ex.reply(), std::vector<uint8_t>(10, 'a'));
}

TEST(ServerExchangeFailures, ClosedAtOnceRefusedAndBadHosts) {
    {
        Peer peer("127.0.5.5", [](int) {});
        ServerExchange ex("127.0.5.5", peer.port());
        ex.setRequest({4});
        EXPECT_EQ(ex.run(), -1);
    }
    {
        // Nobody listens on this address and port.
        Peer peer("127.0.5.5", [](int) {});
        int port = peer.port();
        ServerExchange probe("127.0.5.5", port);  // consume the peer's one accept
        probe.setRequest({4});
        probe.run();
        ServerExchange ex("127.0.5.6", port);
        ex.setRequest({4});
        EXPECT_EQ(ex.run(), -1);
    }
    {
        ServerExchange ex("", 1694);
        ex.setRequest({4});
        EXPECT_EQ(ex.run(), -1);
    }
    {
        ServerExchange ex("no-such-host.invalid", 1694);
        ex.setRequest({4});
        EXPECT_EQ(ex.run(), -1);
    }
    {
        ServerExchange ex("127.0.5.5", 1694);
        EXPECT_FALSE(ex.setRequest(std::vector<uint8_t>(1025, 0)));
        EXPECT_TRUE(ex.setRequest(std::vector<uint8_t>(1024, 0)));
        EXPECT_FALSE(ex.setPrefixWidth(3));
        EXPECT_FALSE(ex.setPrefixWidth(-1));
    }
    EXPECT_EQ(ServerExchange("h", 0).port(), 1694);
    EXPECT_EQ(ServerExchange("h", -1).port(), 1694);
    EXPECT_EQ(ServerExchange("h", 1695).port(), 1695);
}

TEST(ServerExchangeCancel, SilentServerCancelledFromAnotherThread) {
    for (int prefix : {0, 2}) {
        playnet::AutoResetEvent requestSeen;
        playnet::AutoResetEvent released;
        Peer peer("127.0.5.7", [&](int fd) {
            Peer::readN(fd, 1);
            requestSeen.set();
            released.wait(kWaitMs);  // never answers
        });
        ServerExchange ex("127.0.5.7", peer.port());
        ex.setRequest({4});
        ex.setPrefixWidth(prefix);
        std::thread canceller([&] {
            requestSeen.wait(kWaitMs);
            ex.cancel();
        });
        EXPECT_EQ(ex.run(), 0);
        EXPECT_TRUE(ex.wasCancelled());
        EXPECT_TRUE(ex.reply().empty());
        canceller.join();
        released.set();
    }
}

TEST(ServerExchangeCancel, CancelMidReplyBeforeRunAndAfterCompletion) {
    {
        // Half of a prefixed reply arrives, then the server stalls; the cancel yields 0.
        playnet::AutoResetEvent halfSent;
        playnet::AutoResetEvent released;
        Peer peer("127.0.5.8", [&](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, prefixed(100, 40));
            halfSent.set();
            released.wait(kWaitMs);
        });
        ServerExchange ex("127.0.5.8", peer.port());
        ex.setRequest({1});
        ex.setPrefixWidth(2);
        std::thread canceller([&] {
            halfSent.wait(kWaitMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ex.cancel();
        });
        EXPECT_EQ(ex.run(), 0);
        canceller.join();
        released.set();
    }
    {
        ServerExchange ex("127.0.5.8", 1);
        ex.setRequest({4});
        ex.cancel();
        EXPECT_EQ(ex.run(), 0);
    }
    {
        Peer peer("127.0.5.8", [](int fd) {
            Peer::readN(fd, 1);
            Peer::sendAll(fd, {7, 7, 7});
            Peer::waitForClose(fd);
        });
        ServerExchange ex("127.0.5.8", peer.port());
        ex.setRequest({4});
        EXPECT_EQ(ex.run(), 3);
        ex.cancel();  // too late to matter
        EXPECT_EQ(ex.result(), 3);
    }
}

}  // namespace
}  // namespace zrt
