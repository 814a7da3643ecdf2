// A hostile client against a real playnet Host on loopback. The host offers two sessions (one
// with a password and a host-owned player, as a hall is offered); a well-behaved client B sits
// in the first. The input's first byte chooses how far client A gets honestly (nothing, hello,
// an open session, a player of its own); the rest goes out raw, its placeholders replaced (0:
// A's player, 1: B's player, 2: the host's player, 3: every player; GUIDs 0 and 1: the two
// sessions, 2: the application). Then A closes.
//
// Checked: every frame the host sends A or B decodes and is one a host sends; deliveries reach
// B addressed to B; and once A is gone, A's players are gone too while B's stays.
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "fuzz/support/host_frames.h"
#include "fuzz/support/raw_peer.h"
#include "playnet/host.h"

namespace {

using namespace playnet;
using zrtfuzz::FrameReader;

const Guid kApp = *Guid::Parse("{5D1C0B9A-8E7F-4A6B-9C5D-3E2F1A0B9C8D}");
constexpr int kWaitMs = 30000;  // bounds a hang; generous, as a campaign runs at low priority

struct World {
    Host host;
    Guid hall;
    Guid open;
    PlayerId server = 0;

    World() {
        host.SetEventHandler([](const HostEvent& e) {
            if (e.kind == HostEvent::Kind::Message) {
                FUZZ_CHECK(e.from != kSystemPlayer && e.data.size() <= kMaxMessageSize);
            }
        });
        HostOptions options;
        options.listenAddress = "127.0.0.1";
        options.port = 0;
        FUZZ_CHECK(host.Start(options));
        hall = *host.CreateSession({"Hall", kApp, 8, {5, 0, 0, 0}, "pw", {}});
        open = *host.CreateSession({"Open", kApp, 0, {}, "", {}});
        server = host.CreateHostPlayer(hall, "Server");
        FUZZ_CHECK(server != 0);
    }
};

World& TheWorld() {
    static World* world = new World;  // lives until the process ends
    return *world;
}

bool Has(const std::vector<PlayerInfo>& players, PlayerId id) {
    return std::any_of(players.begin(), players.end(),
                       [id](const PlayerInfo& p) { return p.id == id; });
}

// Sends `frames`; with `playerName`, waits for the player's id.
PlayerId Prelude(int fd, FrameReader& reader, const std::vector<std::vector<uint8_t>>& frames,
                 bool createPlayer) {
    for (const auto& f : frames) FUZZ_CHECK(zrtfuzz::WriteAll(fd, f));
    if (!createPlayer) return 0;
    std::optional<zrtfuzz::RawFrame> reply =
        reader.NextOf(uint8_t(FrameType::CreatePlayerReply), kWaitMs);
    FUZZ_CHECK(reply);
    std::optional<CreatePlayerReplyFrame> r = CreatePlayerReplyFrame::Decode(reply->body);
    FUZZ_CHECK(r && r->status == WireStatus::Ok);
    return r->player;
}

std::vector<std::vector<uint8_t>> Joining(const Guid& session, const char* name, int upTo) {
    std::vector<std::vector<uint8_t>> frames;
    if (upTo >= 1) frames.push_back(HelloFrame{}.Encode());
    if (upTo >= 2) frames.push_back(OpenRequestFrame{7, session, "pw"}.Encode());
    if (upTo >= 3) frames.push_back(CreatePlayerFrame{8, name}.Encode());
    return frames;
}

bool WaitUntil(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    World& w = TheWorld();

    int b = zrtfuzz::ConnectLoopback(w.host.Port());
    FUZZ_CHECK(b >= 0);
    FrameReader fromB(b);
    const PlayerId bId = Prelude(b, fromB, Joining(w.hall, "B", 3), true);

    int a = zrtfuzz::ConnectLoopback(w.host.Port());
    FUZZ_CHECK(a >= 0);
    FrameReader fromA(a);
    const int upTo = data[0] % 4;
    const PlayerId aId = Prelude(a, fromA, Joining(w.hall, "A", upTo), upTo == 3);

    std::vector<uint8_t> rest(data + 1, data + size);
    zrtfuzz::Substitute(rest, {aId, bId, w.server, kAllPlayers}, {w.hall, w.open, kApp});
    zrtfuzz::WriteAll(a, rest);  // the host may close before it has taken everything
    ::shutdown(a, SHUT_WR);

    // What A is told, up to the host's close.
    std::vector<PlayerId> aPlayers;
    if (aId) aPlayers.push_back(aId);
    for (;;) {
        std::optional<zrtfuzz::RawFrame> f = fromA.Next(kWaitMs);
        if (!f) break;
        zrtfuzz::CheckHostFrame(f->type, f->body);
        if (f->type == uint8_t(FrameType::CreatePlayerReply)) {
            auto r = CreatePlayerReplyFrame::Decode(f->body);
            if (r->status == WireStatus::Ok) aPlayers.push_back(r->player);
        }
    }
    FUZZ_CHECK(fromA.ended && !fromA.garbage);
    ::close(a);

    // A's players leave with A; B stays.
    FUZZ_CHECK(WaitUntil([&] {
        std::vector<PlayerInfo> hall = w.host.Players(w.hall);
        std::vector<PlayerInfo> open = w.host.Players(w.open);
        for (PlayerId id : aPlayers)
            if (Has(hall, id) || Has(open, id)) return false;
        return true;
    }));
    FUZZ_CHECK(Has(w.host.Players(w.hall), bId));
    while (std::optional<zrtfuzz::RawFrame> f = fromB.Next(0)) {
        const PlayerId to = zrtfuzz::CheckHostFrame(f->type, f->body);
        FUZZ_CHECK(to == 0 || to == bId);
    }
    FUZZ_CHECK(!fromB.ended);
    ::close(b);
    FUZZ_CHECK(WaitUntil([&] { return w.host.Players(w.hall).size() == 1; }));
    return 0;
}
