// The scripted TCP/HTTP peer of the tests.
#include "tests/support/scripted_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

ScriptedPeer::ScriptedPeer(std::string address, uint16_t port) : address_(std::move(address)) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    ::inet_pton(AF_INET, address_.c_str(), &sa.sin_addr);
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    port_ = ntohs(sa.sin_port);
    thread_ = std::thread([this] { serve(); });
}

ScriptedPeer::~ScriptedPeer() {
    stop_ = true;
    if (fd_ < 0) return;
    ::shutdown(fd_, SHUT_RDWR);
    thread_.join();
    ::close(fd_);
}

std::string ScriptedPeer::url(const std::string& path) const {
    return "http://" + address_ + ":" + std::to_string(port_) + path;
}

void ScriptedPeer::on(const std::string& path, Reply reply) {
    std::lock_guard lock(mutex_);
    replies_[path].push_back(std::move(reply));
}

std::string ScriptedPeer::lastRequest() const {
    std::lock_guard lock(mutex_);
    return lastRequest_;
}

// Sleeps in short steps; false when the peer is stopping.
bool ScriptedPeer::pause(int ms) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stop_ && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !stop_;
}

void ScriptedPeer::serve() {
    while (!stop_) {
        int client = ::accept(fd_, nullptr, nullptr);
        if (client < 0) return;
        answer(client);
        ::close(client);
    }
}

void ScriptedPeer::answer(int client) {
    // The request: an HTTP head up to its blank line, or whatever else the first read brings.
    std::string request;
    char buf[2048];
    pollfd pfd{client, POLLIN, 0};
    while (!stop_ && ::poll(&pfd, 1, 2000) > 0) {
        ssize_t n = ::recv(client, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<size_t>(n));
        if (request.rfind("GET ", 0) != 0 || request.find("\r\n\r\n") != std::string::npos) break;
    }
    std::string path;
    if (request.rfind("GET ", 0) == 0) path = request.substr(4, request.find(' ', 4) - 4);
    Reply reply;
    {
        std::lock_guard lock(mutex_);
        lastRequest_ = request;
        std::deque<Reply>& queue = replies_[path];
        if (!queue.empty()) {
            reply = queue.front();
            if (queue.size() > 1) queue.pop_front();
        }
    }
    ++requests_;
    if (reply.hold) {
        // Until the client hangs up (a read of 0 or an error) or the peer stops.
        while (!stop_) {
            int ready = ::poll(&pfd, 1, 20);
            if (ready > 0 && ::recv(client, buf, sizeof buf, 0) <= 0) {
                ++hangUps_;
                return;
            }
        }
        return;
    }
    const size_t piece = reply.piece > 0 ? reply.piece : reply.bytes.size();
    for (size_t at = 0; at < reply.bytes.size(); at += piece) {
        if (reply.pauseMs > 0 && !pause(reply.pauseMs)) return;
        const size_t n = std::min(piece, reply.bytes.size() - at);
        if (::send(client, reply.bytes.data() + at, n, MSG_NOSIGNAL) != static_cast<ssize_t>(n))
            return;
    }
}

std::string HttpAnswer(int status, const std::string& body, const std::string& headers) {
    return "HTTP/1.1 " + std::to_string(status) +
           " X\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n" +
           headers + "\r\n" + body;
}
