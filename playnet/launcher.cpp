// The launcher side of the launch channel: starting the program and reading its messages.
#include "playnet/launcher.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <thread>

#include "playnet/bytes.h"
#include "playnet/frame.h"
#include "playnet/process_start.h"
#include "playnet/registration.h"

namespace playnet {

// More queued messages than this from one program is a flood: its channel is dropped (and
// reported as terminated).
constexpr size_t kMaxQueuedMessages = 4096;

struct Launcher::Channel {
    int fd = -1;
    AutoResetEvent* event = nullptr;
    std::mutex mutex;
    std::deque<LobbyMessage> queue;
    bool terminatedQueued = false;
    bool ended = false;  // the reader is done: nothing more is queued
    std::thread reader;

    ~Channel() {
        if (fd >= 0) close(fd);
    }

    // Queues a message; false when the program floods the channel.
    bool push(LobbyMessage m) {
        {
            std::lock_guard lock(mutex);
            if (terminatedQueued) return true;  // nothing counts after the end
            if (queue.size() >= kMaxQueuedMessages) return false;
            ByteReader r(m.data.data(), m.data.size());
            if (m.isSystem() && r.u32() == kLobbySysAppTerminated && r.ok())
                terminatedQueued = true;
            queue.push_back(std::move(m));
        }
        if (event) event->set();
        return true;
    }

    // The program's side closed (it ended or died) or broke the channel: it counts as
    // terminated, once.
    void end() {
        {
            std::lock_guard lock(mutex);
            if (!terminatedQueued) {
                queue.push_back(LobbyMessage::System(kLobbySysAppTerminated));
                terminatedQueued = true;
            }
            ended = true;
        }
        if (event) event->set();
    }

    void read() {
        FrameDecoder decoder;
        std::vector<uint8_t> buf(16 * 1024);
        for (;;) {
            ssize_t n = recv(fd, buf.data(), buf.size(), 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            decoder.Append(buf.data(), static_cast<size_t>(n));
            for (;;) {
                uint8_t type = 0;
                std::span<const uint8_t> body;
                FrameDecoder::Status st = decoder.Next(type, body);
                if (st == FrameDecoder::Status::NeedMore) break;
                std::optional<LobbyMessage> m;
                if (st == FrameDecoder::Status::Frame &&
                    type == static_cast<uint8_t>(LaunchFrame::LobbyMessage))
                    m = LobbyMessage::Decode(body.data(), body.size());
                if (!m || !push(std::move(*m))) {
                    end();
                    return;
                }
            }
        }
        end();
    }
};

Launcher::Launcher() = default;

Launcher::~Launcher() {
    std::map<uint32_t, std::shared_ptr<Channel>> channels;
    {
        std::lock_guard lock(mutex_);
        channels.swap(channels_);
    }
    for (auto& [id, ch] : channels) {
        shutdown(ch->fd, SHUT_RDWR);  // wakes the reader
        if (ch->reader.joinable()) ch->reader.join();
    }
}

Result Launcher::RunApplication(const Guid& application, const ConnectionSettings& settings,
                                AutoResetEvent* event, uint32_t& appId) {
    std::optional<AppRegistration> reg = FindRegistration(application);
    if (!reg) return Result::UnknownApplication;

    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return Result::StartFailed;
    auto ch = std::make_shared<Channel>();
    ch->fd = pair[0];
    ch->event = event;
    // The settings wait in the socket for the program to read them.
    const std::vector<uint8_t> frame =
        EncodeFrame(static_cast<uint8_t>(LaunchFrame::Settings), settings.Encode());
    const bool written = send(pair[0], frame.data(), frame.size(), MSG_NOSIGNAL) ==
                         static_cast<ssize_t>(frame.size());
    const std::string variable =
        std::string(kLaunchFdVariable) + "=" + std::to_string(kInheritedFd);
    const int error =
        written ? StartDetached(reg->path, reg->file, reg->file, pair[1], variable) : EIO;
    close(pair[1]);
    if (error != 0) return Result::StartFailed;

    ch->reader = std::thread([raw = ch.get()] { raw->read(); });
    std::lock_guard lock(mutex_);
    appId = nextId_++;
    channels_[appId] = std::move(ch);
    return Result::Ok;
}

Result Launcher::ReceiveLobbyMessage(uint32_t appId, uint32_t& flags, void* buffer, size_t& size) {
    std::shared_ptr<Channel> ch;
    {
        std::lock_guard lock(mutex_);
        auto it = channels_.find(appId);
        if (it == channels_.end()) return Result::InvalidParams;
        ch = it->second;
    }
    std::lock_guard lock(ch->mutex);
    if (ch->queue.empty()) return Result::NoMessages;
    const LobbyMessage& m = ch->queue.front();
    if (size < m.data.size()) {
        size = m.data.size();
        return Result::BufferTooSmall;
    }
    if (!m.data.empty()) std::memcpy(buffer, m.data.data(), m.data.size());
    size = m.data.size();
    flags = m.flags;
    ch->queue.pop_front();
    return Result::Ok;
}

bool Launcher::ProgramEnded(uint32_t appId) {
    std::shared_ptr<Channel> ch;
    {
        std::lock_guard lock(mutex_);
        auto it = channels_.find(appId);
        if (it == channels_.end()) return false;
        ch = it->second;
    }
    std::lock_guard lock(ch->mutex);
    return ch->ended;
}

}  // namespace playnet
