// A hostile host against a real playnet Client on loopback. The input's first byte chooses
// what the client does: open a session and create a player (the host answers honestly up to
// there, or not at all), or enumerate sessions. The rest goes to the client raw, its
// placeholders replaced (0: the client's player, 1: the open request's token, 2: the
// create-player token, 3: the enumeration token; GUID 0: the session, 1: the application).
// Then the host closes.
//
// Checked: the client notices the close (its player hears "session lost"; the enumerator
// dials again), every message it queues is addressed to its player, and every system
// message decodes.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "fuzz/support/raw_peer.h"
#include "playnet/client.h"
#include "playnet/system_messages.h"

namespace {

using namespace playnet;
using zrtfuzz::FrameReader;

const Guid kApp = *Guid::Parse("{5D1C0B9A-8E7F-4A6B-9C5D-3E2F1A0B9C8D}");
const Guid kSession = *Guid::Parse("{00112233-4455-6677-8899-AABBCCDDEEFF}");
constexpr PlayerId kPlayer = 0x1234;
constexpr int kWaitMs = 30000;  // bounds a hang; generous, as a campaign runs at low priority

enum class Mode { Honest, Raw, Enumerate };

struct Listener {
    int fd = -1;
    uint16_t port = 0;
    Listener() {
        fd = zrtfuzz::ListenLoopback(port);
        FUZZ_CHECK(fd >= 0);
    }
};

Listener& TheListener() {
    static Listener* l = new Listener;
    return *l;
}

// The hostile host: serves one connection, then (enumerating) waits for the client to dial
// again, which shows that it took the close.
void Serve(Mode mode, std::vector<uint8_t> rest) {
    const int listenFd = TheListener().fd;
    int fd = zrtfuzz::AcceptWithin(listenFd, kWaitMs);
    FUZZ_CHECK(fd >= 0);
    FrameReader reader(fd);
    uint32_t enumToken = 0;
    if (mode == Mode::Honest) {
        std::optional<zrtfuzz::RawFrame> open =
            reader.NextOf(uint8_t(FrameType::OpenRequest), kWaitMs);
        FUZZ_CHECK(open);
        SessionDesc desc;
        desc.name = "Hall";
        desc.application = kApp;
        desc.instance = kSession;
        desc.currentPlayers = 1;
        zrtfuzz::WriteAll(fd, HelloFrame{}.Encode());
        zrtfuzz::WriteAll(
            fd, OpenReplyFrame{OpenRequestFrame::Decode(open->body)->token, WireStatus::Ok, desc}
                    .Encode());
        std::optional<zrtfuzz::RawFrame> create =
            reader.NextOf(uint8_t(FrameType::CreatePlayer), kWaitMs);
        FUZZ_CHECK(create);
        zrtfuzz::WriteAll(fd, CreatePlayerReplyFrame{CreatePlayerFrame::Decode(create->body)->token,
                                                     WireStatus::Ok, kPlayer}
                                  .Encode());
    } else if (mode == Mode::Enumerate) {
        std::optional<zrtfuzz::RawFrame> req =
            reader.NextOf(uint8_t(FrameType::EnumRequest), kWaitMs);
        FUZZ_CHECK(req);
        enumToken = EnumRequestFrame::Decode(req->body)->token;
    }
    zrtfuzz::Substitute(rest, {kPlayer, 1, 2, enumToken}, {kSession, kApp});
    zrtfuzz::WriteAll(fd, rest);
    ::shutdown(fd, SHUT_WR);
    while (reader.Next(kWaitMs)) {
    }
    ::close(fd);
    if (mode == Mode::Enumerate) {
        int again = zrtfuzz::AcceptWithin(listenFd, kWaitMs);
        FUZZ_CHECK(again >= 0);
        ::close(again);
    }
}

void CheckQueue(Client& client, AutoResetEvent& event, PlayerId own) {
    std::vector<uint8_t> buffer(64);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    for (;;) {
        PlayerId from = 0;
        PlayerId to = 0;
        size_t size = buffer.size();
        Result r = client.Receive(from, to, buffer.data(), size);
        if (r == Result::BufferTooSmall) {
            FUZZ_CHECK(size > buffer.size() && size <= kMaxMessageSize);
            buffer.resize(size);
            continue;
        }
        if (r == Result::NoMessages) {
            FUZZ_CHECK(std::chrono::steady_clock::now() < deadline);
            event.wait(100);
            continue;
        }
        FUZZ_CHECK(r == Result::Ok && to == own);
        if (from != kSystemPlayer) continue;
        std::optional<SystemMessage> m = SystemMessage::Decode(buffer.data(), size);
        FUZZ_CHECK(m);
        if (m->type == kSysSessionLost) return;
        FUZZ_CHECK(m->player != own);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const Mode mode = static_cast<Mode>(data[0] % 3);
    // An enumerator of an earlier client may have dialled again before it went.
    for (int stale; (stale = zrtfuzz::AcceptWithin(TheListener().fd, 0)) >= 0;) ::close(stale);
    std::thread host(Serve, mode, std::vector<uint8_t>(data + 1, data + size));
    {
        ClientOptions options;
        options.requestTimeoutMs = kWaitMs;
        options.enumRefreshMs = 20;
        Client client(options);
        FUZZ_CHECK(client.InitializeConnection("127.0.0.1", TheListener().port) == Result::Ok);
        if (mode == Mode::Enumerate) {
            std::vector<SessionDesc> sessions;
            client.EnumSessions(kApp, sessions, 0);
            host.join();
            client.EnumSessions(kApp, sessions, 0);
            for (const SessionDesc& s : sessions) FUZZ_CHECK(s.name.size() <= kMaxNameLength);
        } else {
            AutoResetEvent event;
            PlayerId id = 0;
            if (client.Open(kSession, "pw") == Result::Ok &&
                client.CreatePlayer("Me", &event, id) == Result::Ok) {
                CheckQueue(client, event, id);
                SessionDesc desc;
                FUZZ_CHECK(client.GetSessionDesc(desc) == Result::SessionLost);
            }
            host.join();
        }
    }
    return 0;
}
