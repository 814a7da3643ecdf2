// The lobby's hall stack as it runs (PlaynetSender, SessionDispatcher, SessionReceiver and
// HallPresence over a real playnet Client) against a real Host on loopback whose server player
// welcomes the own player and then sends what the input says: a list of messages, each a
// 16-bit length and as many bytes (zeros where the input runs out, so large messages are
// cheap to state). Lengths 0xFFFF and 0xFFFE instead make another player come and go (system
// messages) or cut the own player's connection (session lost). A last news text marks the end.
//
// Checked: the receiver takes every message, whatever its size, and hands it on; the hall
// tables keep their limits; a lost session ends the receiver.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "fuzz/support/checking_ui.h"
#include "fuzz/support/fuzz_support.h"
#include "lobby/session/hall_presence.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/playnet_sender.h"
#include "lobby/session/session_dispatcher.h"
#include "lobby/session/session_receiver.h"
#include "playnet/bytes.h"
#include "playnet/host.h"

namespace {

using namespace zrt;
using playnet::PlayerId;

const playnet::Guid kApp = *playnet::Guid::Parse("{5D1C0B9A-8E7F-4A6B-9C5D-3E2F1A0B9C8D}");
constexpr int kWaitMs = 30000;  // bounds a hang; generous, as a campaign runs at low priority

struct World {
    playnet::Host host;
    playnet::Guid hall;
    PlayerId server = 0;
    playnet::Client client;
    bool open = false;

    World() {
        host.SetEventHandler([this](const playnet::HostEvent& e) {
            if (e.kind == playnet::HostEvent::Kind::PlayerCreated) {
                const Bytes welcome = encodeWelcome(server);
                host.SendFrom(server, e.player, welcome.data(), welcome.size());
            }
        });
        playnet::HostOptions options;
        options.listenAddress = "127.0.0.1";
        options.port = 0;
        FUZZ_CHECK(host.Start(options));
        hall = *host.CreateSession({"Hall", kApp, 0, {5, 0, 0, 0}, "pw", {}});
        server = host.CreateHostPlayer(hall, "Server");
        FUZZ_CHECK(client.InitializeConnection("127.0.0.1", host.Port()) == playnet::Result::Ok);
    }
    void Open() {
        if (open) return;
        client.Close();
        FUZZ_CHECK(client.Open(hall, "pw") == playnet::Result::Ok);
        open = true;
    }
};

World& TheWorld() {
    static World* world = new World;
    return *world;
}

// The checking UI that the test thread can wait on.
class WaitableUi : public zrtfuzz::CheckingUi {
  public:
    void news(const std::string& text) override {
        std::lock_guard lock(m_);
        CheckingUi::news(text);
        cv_.notify_all();
    }
    void sessionError(const std::string& text) override {
        std::lock_guard lock(m_);
        CheckingUi::sessionError(text);
        cv_.notify_all();
    }
    void memberLaunch(const std::string& address) override {
        std::lock_guard lock(m_);
        CheckingUi::memberLaunch(address);
        cv_.notify_all();
    }
    // Waits for the news `mark`, or for the stay to end.
    bool waitFor(const std::string& mark) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::milliseconds(kWaitMs),
                            [&] { return ended || lastNews == mark; });
    }
    bool hasEnded() {
        std::lock_guard lock(m_);
        return ended;
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
};

void CheckTables(const LobbySession& session) {
    auto hall = session.hall.read();
    FUZZ_CHECK(hall->players.size() <= PlayerTable::kCapacity);
    FUZZ_CHECK(hall->groups.ownIndex() >= -1 && hall->groups.ownIndex() < int(hall->groups.size()));
    for (const GroupEntry& g : hall->groups.entries())
        FUZZ_CHECK(!g.members.empty() && g.members.size() <= kMaxMembers &&
                   g.title.size() <= kTitleChars);
    for (const PlayerEntry& p : hall->players.entries())
        FUZZ_CHECK(p.name.size() <= kNameChars && p.address.size() <= kAddressChars);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint64_t round = 0;
    World& w = TheWorld();
    w.Open();

    LobbySession session;
    PlaynetSender sender(w.client, session);
    WaitableUi ui;
    SessionDispatcher dispatcher(session, sender, ui);
    SessionReceiver receiver(w.client, session, dispatcher);
    HallPresence presence(w.client, session, sender, receiver);
    FUZZ_CHECK(receiver.StartSessionReceiver());
    PlayerEntry own;
    own.name = "Me";
    own.address = "127.0.0.1";
    FUZZ_CHECK(presence.EnterHall(own, false) == HallPresenceResult::Ok);
    const PlayerId me = session.ownPlayerId;

    playnet::ByteReader in(data, size);
    bool lost = false;
    while (in.remaining() > 0 && !lost) {
        const uint16_t length = in.u16();
        if (length == 0xFFFF) {  // another player comes and goes
            PlayerId other = w.host.CreateHostPlayer(w.hall, "Other");
            if (in.u8() & 1) w.host.DestroyHostPlayer(other);
            continue;
        }
        if (length == 0xFFFE) {  // the connection goes
            w.host.DisconnectPlayer(me);
            lost = true;
            break;
        }
        std::vector<uint8_t> message(std::min<size_t>(length, playnet::kMaxMessageSize), 0);
        in.bytes(message.data(), std::min(message.size(), in.remaining()));
        w.host.SendFrom(w.server, me, message.data(), message.size());
    }
    const std::string mark = "end of round " + std::to_string(++round);
    const Bytes news = encodeNews(mark);
    if (!lost) w.host.SendFrom(w.server, me, news.data(), news.size());
    FUZZ_CHECK(ui.waitFor(mark));
    if (lost) FUZZ_CHECK(ui.hasEnded());
    CheckTables(session);
    presence.Teardown();
    for (const playnet::PlayerInfo& p : w.host.Players(w.hall))
        if (p.hostOwned && p.id != w.server) w.host.DestroyHostPlayer(p.id);
    if (lost || ui.hasEnded()) w.open = false;
    return 0;
}
