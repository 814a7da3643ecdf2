// The control socket's listener.
#include "server/control_socket.h"

#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "server/log.h"

namespace zrtserver {

namespace {
constexpr int kPollMs = 200;

bool socketAddress(const std::string& path, sockaddr_un& addr, std::string& error) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        error = "the control socket's path is too long: " + path;
        return false;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when a server answers on the socket file at `addr`.
bool answered(const sockaddr_un& addr) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool live = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return live;
}
}  // namespace

bool controlSocketAnswers(const std::string& path) {
    sockaddr_un addr;
    std::string error;
    return socketAddress(path, addr, error) && answered(addr);
}

std::string localUserName(unsigned uid) {
    passwd pw{};
    passwd* found = nullptr;
    char buf[4096];
    std::string name = getpwuid_r(uid, &pw, buf, sizeof buf, &found) == 0 && found
                           ? std::string(found->pw_name)
                           : std::string("?");
    return name + " (uid " + std::to_string(uid) + ")";
}

std::unique_ptr<ControlSocket> ControlSocket::open(const std::string& path, Handler handler,
                                                   std::string& error) {
    sockaddr_un addr;
    if (!socketAddress(path, addr, error)) return nullptr;
    if (answered(addr)) {
        error = "another zrtserver answers on " + path;
        return nullptr;
    }
    ::unlink(path.c_str());
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::string("control socket: ") + std::strerror(errno);
        return nullptr;
    }
    // Created owner-only from the start, so that there is no moment another user could open it.
    mode_t old = ::umask(0177);
    int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    ::umask(old);
    if (bound != 0 || ::chmod(path.c_str(), 0600) != 0 || ::listen(fd, 8) != 0) {
        error = "cannot open the control socket " + path + ": " + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<ControlSocket> socket(new ControlSocket(path, fd, std::move(handler)));
    ControlSocket* raw = socket.get();
    socket->thread_ = std::thread([raw] { raw->run(); });
    logLine("control socket " + path);
    return socket;
}

ControlSocket::ControlSocket(std::string path, int fd, Handler handler)
    : path_(std::move(path)), fd_(fd), handler_(std::move(handler)) {}

ControlSocket::~ControlSocket() {
    stop();
}

void ControlSocket::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(path_.c_str());
        fd_ = -1;
    }
}

void ControlSocket::run() {
    while (!stopping_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        serve(client);
        ::close(client);
    }
}

void ControlSocket::serve(int fd) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0) return;
    std::string actor = localUserName(cred.uid);
    auto deadline = std::chrono::steady_clock::now() + kControlRequestWait;
    if (cred.uid != ::geteuid() && cred.uid != 0) {
        logLine("control: refused " + actor + ", not the server's user");
        writeAll(fd, encodeControlReply({false, "permission denied\n"}), deadline);
        return;
    }
    std::string bytes;
    std::optional<std::vector<std::string>> words;
    if (readToEnd(fd, bytes, kMaxControlRequest, deadline)) words = decodeControlRequest(bytes);
    if (!words || words->empty()) {
        logLine("control: malformed request from " + actor);
        writeAll(fd, encodeControlReply({false, "malformed request\n"}), deadline);
        return;
    }
    ControlReply reply = handler_(*words, actor);
    writeAll(fd, encodeControlReply(reply), std::chrono::steady_clock::now() + kControlRequestWait);
}

}  // namespace zrtserver
