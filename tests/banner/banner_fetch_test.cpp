// BannerFetch against a small HTTP server on loopback: plain answers, one redirect followed,
// a second one refused, bodies cut at the buffer size, only http addresses.
#include "lobby/banner/banner_fetch.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

// Answers each connection with the response that `route` gives for the request path.
class TinyHttpServer {
public:
    using Route = std::function<std::string(const std::string& path)>;

    TinyHttpServer(const char* address, Route route) : route_(std::move(route)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = 0;
        ::inet_pton(AF_INET, address, &sa.sin_addr);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        ::listen(fd_, 8);
        socklen_t len = sizeof sa;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len);
        port_ = ntohs(sa.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TinyHttpServer() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    int port() const { return port_; }

private:
    void serve() {
        while (!stop_) {
            int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) return;
            std::string request;
            char buf[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                ssize_t n = ::recv(c, buf, sizeof buf, 0);
                if (n <= 0) break;
                request.append(buf, static_cast<size_t>(n));
            }
            size_t sp = request.find(' ');
            size_t sp2 = request.find(' ', sp + 1);
            std::string path = sp == std::string::npos ? "" : request.substr(sp + 1, sp2 - sp - 1);
            std::string response = route_(path);
            size_t sent = 0;
            while (sent < response.size()) {
                ssize_t n = ::send(c, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
            ::close(c);
        }
    }

    Route route_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::string answer(int status, const std::string& body, const std::string& extra = "") {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

}  // namespace

TEST(BannerFetch, FollowsOneRedirectAndCutsLongBodies) {
    std::string base;
    TinyHttpServer server("127.0.9.1", [&base](const std::string& path) {
        if (path == "/banner.gif") return answer(200, "GIF89a-data");
        if (path == "/moved") return answer(302, "", "Location: " + base + "/banner.gif\r\n");
        if (path == "/twice") return answer(301, "", "Location: " + base + "/moved\r\n");
        if (path == "/spaced") return answer(302, "", "Location:  " + base + "/banner.gif \t\r\n");
        if (path == "/nolocation") return answer(303, "");
        if (path == "/big") return answer(200, std::string(zrt::kBannerBufferSize + 5000, 'x'));
        return answer(404, "not here");
    });
    base = "http://127.0.9.1:" + std::to_string(server.port());

    std::vector<unsigned char> out;
    EXPECT_EQ(zrt::BannerFetch(base + "/banner.gif", out), 11);
    EXPECT_EQ(std::string(out.begin(), out.end()), "GIF89a-data");

    EXPECT_EQ(zrt::BannerFetch(base + "/moved", out), 11);
    EXPECT_EQ(zrt::BannerFetch(base + "/spaced", out), 11);  // white space around the value
    EXPECT_EQ(zrt::BannerFetch(base + "/twice", out), -1);  // only one redirect is followed
    EXPECT_EQ(zrt::BannerFetch(base + "/nolocation", out), -1);
    EXPECT_EQ(zrt::BannerFetch(base + "/missing", out), 8);  // other statuses are read as well
    EXPECT_EQ(zrt::BannerFetch(base + "/big", out), static_cast<int>(zrt::kBannerBufferSize));
}

TEST(BannerFetch, RefusesAnythingButHttp) {
    std::vector<unsigned char> out;
    EXPECT_EQ(zrt::BannerFetch("ftp://127.0.9.1/x.gif", out), -1);
    EXPECT_EQ(zrt::BannerFetch("file:///etc/passwd", out), -1);
    EXPECT_EQ(zrt::BannerFetch("", out), -1);
    EXPECT_EQ(zrt::BannerFetch("http://127.0.9.2:1/unreachable.gif", out), -1);
}
