// Framing and bounded reads and writes of the control socket.
#include "server/control_wire.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace zrtserver {

namespace {
// Waits for `events` on fd until the deadline; false on a time-out or an error.
bool await(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, events, 0};
        int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}
}  // namespace

std::string encodeControlRequest(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) {
        out += w;
        out += '\0';
    }
    return out;
}

std::optional<std::vector<std::string>> decodeControlRequest(const std::string& bytes) {
    if (bytes.empty() || bytes.back() != '\0') return std::nullopt;
    std::vector<std::string> words;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\0') continue;
        words.push_back(bytes.substr(start, i - start));
        start = i + 1;
    }
    return words;
}

std::string encodeControlReply(const ControlReply& reply) {
    return (reply.ok ? "0" : "1") + reply.text;
}

std::optional<ControlReply> decodeControlReply(const std::string& bytes) {
    if (bytes.empty() || (bytes[0] != '0' && bytes[0] != '1')) return std::nullopt;
    return ControlReply{bytes[0] == '0', bytes.substr(1)};
}

bool readToEnd(int fd, std::string& out, size_t limit,
               std::chrono::steady_clock::time_point deadline) {
    char buf[4096];
    for (;;) {
        if (!await(fd, POLLIN, deadline)) return false;
        ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        if (out.size() + static_cast<size_t>(n) > limit) return false;
        out.append(buf, static_cast<size_t>(n));
    }
}

bool writeAll(int fd, const std::string& bytes, std::chrono::steady_clock::time_point deadline) {
    size_t done = 0;
    while (done < bytes.size()) {
        if (!await(fd, POLLOUT, deadline)) return false;
        ssize_t n =
            ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace zrtserver
