// The application side of the launch channel.
#include "playnet/launched_app.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

#include "playnet/frame.h"
#include "playnet/launcher.h"

namespace playnet {

std::unique_ptr<LaunchedApp> LaunchedApp::FromEnvironment() {
    const char* text = std::getenv(kLaunchFdVariable);
    if (text == nullptr) return nullptr;
    std::string value = text;
    unsetenv(kLaunchFdVariable);
    if (value.empty() || value.size() > 6 ||
        value.find_first_not_of("0123456789") != std::string::npos)
        return nullptr;
    const int fd = std::atoi(value.c_str());
    struct stat st {};
    if (fd <= 2 || fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) return nullptr;
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    return std::make_unique<LaunchedApp>(fd);
}

LaunchedApp::LaunchedApp(int fd) : fd_(fd) {}

LaunchedApp::~LaunchedApp() {
    if (fd_ >= 0) close(fd_);
}

std::optional<ConnectionSettings> LaunchedApp::GetConnectionSettings(int timeoutMs) {
    if (settings_) return settings_;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    FrameDecoder decoder;
    std::vector<uint8_t> buf(16 * 1024);
    for (;;) {
        uint8_t type = 0;
        std::span<const uint8_t> body;
        FrameDecoder::Status st = decoder.Next(type, body);
        if (st == FrameDecoder::Status::Bad) return std::nullopt;
        if (st == FrameDecoder::Status::Frame) {
            if (type != static_cast<uint8_t>(LaunchFrame::Settings)) return std::nullopt;
            settings_ = ConnectionSettings::Decode(body.data(), body.size());
            if (settings_) SendSystemMessage(kLobbySysConnectionSettingsRead);
            return settings_;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd p{fd_, POLLIN, 0};
        int r = poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return std::nullopt;
        ssize_t n = recv(fd_, buf.data(), buf.size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        decoder.Append(buf.data(), static_cast<size_t>(n));
    }
}

bool LaunchedApp::SendSystemMessage(uint32_t code) {
    return SendLobbyMessage(LobbyMessage::System(code));
}

bool LaunchedApp::SendLobbyMessage(const LobbyMessage& message) {
    if (message.data.size() > kMaxMessageSize) return false;  // would not fit one frame
    const std::vector<uint8_t> frame =
        EncodeFrame(static_cast<uint8_t>(LaunchFrame::LobbyMessage), message.Encode());
    size_t done = 0;
    while (done < frame.size()) {
        ssize_t n = send(fd_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace playnet
