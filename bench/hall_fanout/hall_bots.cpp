// Hall bots: raw playnet connections, two epoll reader threads, writes under a lock per bot.
#include "bench/hall_fanout/hall_bots.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "lobby/session/hall_identity.h"
#include "lobby/session/lobby_messages.h"
#include "playnet/frame.h"
#include "playnet/wire_messages.h"

namespace fanout {

struct HallBots::Bot {
    int fd = -1;  // -1 once its link has ended
    int thread = 0;
    std::atomic<uint32_t> id{0};
    std::string name;
    std::string source;
    std::mutex writeMutex;    // fd and the writes on it
    std::vector<uint8_t> in;  // received, not yet a whole frame
    std::atomic<bool> announced{false};
    std::atomic<bool> gone{false};
    std::atomic<uint32_t> grantedGroup{0};
};

namespace {

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::vector<uint8_t> heartbeat() {
    return playnet::EncodeFrame(static_cast<uint8_t>(playnet::FrameType::Heartbeat),
                                std::span<const uint8_t>());
}

bool waitUntil(const std::function<bool()>& done, int seconds) {
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

HallBots::HallBots(std::string server, uint16_t port, const playnet::Guid& hall, Tally& tally)
    : address_(std::move(server)), port_(port), hall_(hall), tally_(tally) {
    for (int t = 0; t < 2; ++t) {
        epoll_[t] = ::epoll_create1(EPOLL_CLOEXEC);
        readers_.emplace_back([this, t] { read(t); });
    }
}

HallBots::~HallBots() {
    stop();
    for (auto& b : bots_)
        if (b->fd >= 0) ::close(b->fd);
    for (int fd : epoll_)
        if (fd >= 0) ::close(fd);
}

void HallBots::stop() {
    stop_ = true;
    for (auto& r : readers_)
        if (r.joinable()) r.join();
}

HallBots::Bot* HallBots::bot(int index) const {
    std::lock_guard lock(botsMutex_);
    return bots_[static_cast<size_t>(index)].get();
}

int HallBots::size() const {
    std::lock_guard lock(botsMutex_);
    return static_cast<int>(bots_.size());
}

bool HallBots::connectBot(Bot& bot) {
    std::lock_guard lock(bot.writeMutex);
    bot.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (bot.fd < 0) {
        bot.gone = true;
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, bot.source.c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port_);
    ::inet_pton(AF_INET, address_.c_str(), &remote.sin_addr);
    int one = 1;
    ::setsockopt(bot.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // Hello, open and create go at once, before any heartbeat: the host reads them in order.
    std::vector<uint8_t> hello = playnet::HelloFrame{}.Encode();
    std::vector<uint8_t> open = playnet::OpenRequestFrame{1, hall_, zrt::kHallPassword}.Encode();
    std::vector<uint8_t> create = playnet::CreatePlayerFrame{2, bot.name}.Encode();
    hello.insert(hello.end(), open.begin(), open.end());
    hello.insert(hello.end(), create.begin(), create.end());
    if (::bind(bot.fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(bot.fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0 ||
        !writeLocked(bot, hello)) {
        std::fprintf(stderr, "bot %s cannot connect from %s: %s\n", bot.name.c_str(),
                     bot.source.c_str(), std::strerror(errno));
        ::close(bot.fd);
        bot.fd = -1;
        bot.gone = true;
        return false;
    }
    ::fcntl(bot.fd, F_SETFL, ::fcntl(bot.fd, F_GETFL) | O_NONBLOCK);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.ptr = &bot;
    ::epoll_ctl(epoll_[bot.thread], EPOLL_CTL_ADD, bot.fd, &ev);
    return true;
}

bool HallBots::join(int count, int net, const std::string& prefix, int timeoutSeconds) {
    int welcomedBefore = welcomed_.load();
    for (int i = 0; i < count; ++i) {
        auto fresh = std::make_unique<Bot>();
        int group = i / 20;  // 20 connections per source address
        fresh->source = "127." + std::to_string(net) + "." + std::to_string(group / 250) + "." +
                        std::to_string(group % 250 + 1);
        char name[16];
        std::snprintf(name, sizeof name, "%s%04d", prefix.c_str(), i);
        fresh->name = name;
        Bot* b = fresh.get();
        {
            std::lock_guard lock(botsMutex_);
            b->thread = static_cast<int>(bots_.size() % 2);
            bots_.push_back(std::move(fresh));
        }
        if (!connectBot(*b)) return false;
        if (i % 100 == 99) beat();
    }
    tally_.receivers += count;
    if (!waitUntil([&] { return welcomed_.load() >= welcomedBefore + count; }, timeoutSeconds)) {
        std::fprintf(stderr, "%d of %d bots welcomed, %d links lost\n",
                     welcomed_.load() - welcomedBefore, count, tally_.lost.load());
        return false;
    }
    // Each announcement reaches the bots present when it is made (the bots ask for no
    // snapshot): at least n (n - 1) / 2 in all as they join one after another.
    uint64_t n = 0;
    {
        std::lock_guard lock(botsMutex_);
        for (auto& b : bots_) n += b->gone ? 0 : 1;
    }
    if (waitUntil([&] { return infos_.load() >= n * (n - 1) / 2; }, timeoutSeconds)) return true;
    std::fprintf(stderr, "%llu of %llu announcements relayed\n",
                 static_cast<unsigned long long>(infos_.load()),
                 static_cast<unsigned long long>(n * (n - 1) / 2));
    return false;
}

int HallBots::rejoin(int index) {
    Bot* old = bot(index);
    auto fresh = std::make_unique<Bot>();
    fresh->name = old->name;
    fresh->source = old->source;
    Bot* b = fresh.get();
    int at = 0;
    {
        std::lock_guard lock(botsMutex_);
        at = static_cast<int>(bots_.size());
        b->thread = at % 2;
        bots_.push_back(std::move(fresh));
    }
    if (!connectBot(*b)) return -1;
    tally_.receivers++;
    return at;
}

void HallBots::say(int index, const std::string& text) {
    Bot* b = nullptr;
    {
        std::lock_guard lock(botsMutex_);
        b = bots_[static_cast<size_t>(index) % bots_.size()].get();
    }
    if (b->gone || b->id == 0) return;
    sendFrom(*b, zrt::encodeChat({b->id, 0, text}), false);
}

void HallBots::send(int index, const std::vector<uint8_t>& message, bool guaranteed) {
    Bot* b = bot(index);
    if (!b->gone && b->id != 0) sendFrom(*b, message, guaranteed);
}

bool HallBots::present(int index) const {
    Bot* b = bot(index);
    return !b->gone && b->announced && b->id != 0;
}

uint32_t HallBots::playerId(int index) const {
    return bot(index)->id;
}

uint32_t HallBots::grantedGroup(int index) const {
    return bot(index)->grantedGroup;
}

void HallBots::beat() {
    std::vector<uint8_t> frame = heartbeat();
    std::lock_guard lock(botsMutex_);
    for (auto& b : bots_)
        if (!b->gone) beatOne(*b, frame);
}

void HallBots::beatOne(Bot& bot, const std::vector<uint8_t>& frame) {
    // Never waits: a bot that is being written for, or whose socket takes no byte now (the
    // host has paused reading it, and counts no silence meanwhile), is skipped, so that one
    // such bot cannot hold back every later bot's heartbeat past the host's silence limit.
    std::unique_lock lock(bot.writeMutex, std::try_to_lock);
    if (!lock.owns_lock() || bot.fd < 0) return;
    ssize_t n = ::send(bot.fd, frame.data(), frame.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0 && static_cast<size_t>(n) < frame.size())  // the rest of the frame must follow
        writeLocked(bot, std::vector<uint8_t>(frame.begin() + n, frame.end()));
}

void HallBots::leave(int index) {
    Bot* b = bot(index);
    std::lock_guard lock(b->writeMutex);
    if (b->gone || b->fd < 0) return;
    b->gone = true;
    ::shutdown(b->fd, SHUT_RDWR);  // its reader closes it
    tally_.receivers--;
}

void HallBots::sendFrom(Bot& bot, const std::vector<uint8_t>& message, bool guaranteed) {
    writeAll(bot, playnet::MessageFrame::EncodeFrom(
                      playnet::FrameType::Send, bot.id, server_.load(),
                      guaranteed ? playnet::kSendGuaranteed : 0, message.data(), message.size()));
}

bool HallBots::writeAll(Bot& bot, const std::vector<uint8_t>& bytes) {
    std::lock_guard lock(bot.writeMutex);
    return writeLocked(bot, bytes);
}

bool HallBots::writeLocked(Bot& bot, const std::vector<uint8_t>& bytes) {
    if (bot.fd < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(bot.fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            pollfd p{bot.fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) return false;  // bounded: the host reads its peers
            continue;
        }
        return false;
    }
    return true;
}

void HallBots::read(int thread) {
    std::vector<uint32_t> samples;
    epoll_event events[64];
    while (!stop_) {
        int n = ::epoll_wait(epoll_[thread], events, 64, 50);
        for (int i = 0; i < n; ++i) onReadable(*static_cast<Bot*>(events[i].data.ptr), samples);
        if (n <= 0) tally_.flush(samples);
    }
    tally_.flush(samples);
}

void HallBots::onReadable(Bot& bot, std::vector<uint32_t>& samples) {
    uint8_t buf[64 * 1024];
    for (;;) {
        ssize_t n = ::recv(bot.fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            ::epoll_ctl(epoll_[bot.thread], EPOLL_CTL_DEL, bot.fd, nullptr);
            std::lock_guard lock(bot.writeMutex);
            if (!bot.gone) tally_.lost++;
            bot.gone = true;
            ::close(bot.fd);
            bot.fd = -1;
            return;
        }
        if (n < 0) break;
        bot.in.insert(bot.in.end(), buf, buf + n);
        if (static_cast<size_t>(n) < sizeof buf) break;
    }
    size_t pos = 0;
    while (bot.in.size() - pos >= 5) {
        uint32_t length = le32(&bot.in[pos]);
        if (bot.in.size() - pos - 4 < length) break;
        const uint8_t* frame = &bot.in[pos + 4];
        auto type = static_cast<playnet::FrameType>(frame[0]);
        const uint8_t* body = frame + 1;
        size_t bodySize = length - 1;
        if (type == playnet::FrameType::Deliver && bodySize >= 12) {
            onMessage(bot, body + 12, bodySize - 12, samples);
        } else if (type == playnet::FrameType::CreatePlayerReply && bodySize >= 12) {
            bot.id = le32(body + 8);
        } else if (type == playnet::FrameType::PlayerNotice && bodySize >= 1 && body[0] == 2) {
            left_++;
        }
        pos += 4 + length;
    }
    bot.in.erase(bot.in.begin(), bot.in.begin() + static_cast<std::ptrdiff_t>(pos));
}

void HallBots::onMessage(Bot& bot, const uint8_t* data, size_t size,
                         std::vector<uint32_t>& samples) {
    std::optional<uint32_t> code = zrt::messageCode(data, size);
    if (code == zrt::MSG_CHAT && size > 14) {
        tally_.received(reinterpret_cast<const char*>(data + 12), size - 12, samples);
    } else if (code == zrt::MSG_PLAYER_INFO) {
        infos_++;
    } else if (code == zrt::MSG_GROUP_ID) {
        bot.grantedGroup = zrt::decodeGroupIdReply(data, size).value_or(0);
    } else if (code == zrt::MSG_INVITE) {
        std::optional<zrt::InviteMessage> invite = zrt::decodeInvite(data, size);
        if (!invite || invite->invited != bot.id) return;
        sendFrom(bot, zrt::encodeInviteReply({bot.id, invite->inviter, true}), true);
        sendFrom(bot, zrt::encodeGroupJoin({bot.id, invite->groupId}), true);
        invites_++;
    } else if (code == zrt::MSG_WELCOME && !bot.announced) {
        server_ = zrt::decodeWelcome(data, size).value_or(0);
        zrt::PlayerEntry e;
        e.id = bot.id;
        e.name = bot.name;
        e.address = bot.source;
        bot.announced = true;
        sendFrom(bot, zrt::encodePlayerInfo(e), true);
        welcomed_++;
    }
}

}  // namespace fanout
