// The session receiver, the sender and the own player's presence against a real playnet::Host
// that plays a tiny lobby server on loopback: it welcomes each new player, answers the state
// request with a bot's player info and the state end, and relays chat back to its sender.
// Every wait is bounded; the tests check what happened, never how fast.
#include "lobby/session/session_receiver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lobby/session/hall_identity.h"
#include "lobby/session/hall_presence.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/session/playnet_sender.h"
#include "lobby/session/session_dispatcher.h"
#include "playnet/host.h"
#include "tests/support/hall_fixture.h"
#include "tests/support/wait_until.h"

namespace zrt {
namespace {

using playnet::Guid;
using playnet::PlayerId;
using test::makePlayer;

const Guid kHallApp = *Guid::Parse("{3C5E7A91-0B2D-4F68-9A1C-7E3D5B9F1A24}");
constexpr int kWaitMs = 10000;

// The recording UI behind a lock: the receiver thread records, the test thread waits and reads.
class LockedUi : public SessionUi {
  public:
    std::vector<std::string> calls() const {
        std::lock_guard lock(m_);
        return inner_.calls;
    }
    size_t count(const std::string& call) const {
        std::lock_guard lock(m_);
        return inner_.count(call);
    }
    // Waits (bounded) until `done` holds for the calls so far.
    bool waitFor(const std::function<bool(const std::vector<std::string>&)>& done,
                 int ms = kWaitMs) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::milliseconds(ms),
                            [&] { return done(inner_.calls); });
    }
    bool waitForCall(const std::string& call, int ms = kWaitMs) {
        return waitFor([&](const std::vector<std::string>& c) { return has(c, call); }, ms);
    }
    static bool has(const std::vector<std::string>& calls, const std::string& call) {
        for (const auto& c : calls)
            if (c == call) return true;
        return false;
    }

    void playerLineAdded(uint32_t id, const std::string& line) override {
        record([&] { inner_.playerLineAdded(id, line); });
    }
    void playerLineDeleted(uint32_t id) override {
        record([&] { inner_.playerLineDeleted(id); });
    }
    void chatLine(ChatTarget t, uint32_t id, const std::string& name, const std::string& text,
                  bool whisper) override {
        record([&] { inner_.chatLine(t, id, name, text, whisper); });
    }
    void lobbyStatus() override {
        record([&] { inner_.lobbyStatus(); });
    }
    void invitation(uint32_t from, uint32_t group) override {
        record([&] { inner_.invitation(from, group); });
    }
    void inviteReply(uint32_t from, bool accepted) override {
        record([&] { inner_.inviteReply(from, accepted); });
    }
    void news(const std::string& text) override {
        record([&] { inner_.news(text); });
    }
    void memberLaunch(const std::string& address) override {
        record([&] { inner_.memberLaunch(address); });
    }
    void groupDialogMemberJoined(uint32_t id) override {
        record([&] { inner_.groupDialogMemberJoined(id); });
    }
    void groupDialogMemberLeft(uint32_t id) override {
        record([&] { inner_.groupDialogMemberLeft(id); });
    }
    void groupDialogClose() override {
        record([&] { inner_.groupDialogClose(); });
    }
    void sessionError(const std::string& text) override {
        record([&] { inner_.sessionError(text); });
    }
    void refreshGroups(bool changed) override {
        record([&] { inner_.refreshGroups(changed); });
    }
    void repaintTopPanel() override {
        record([&] { inner_.repaintTopPanel(); });
    }
    void repaintPlayerList() override {
        record([&] { inner_.repaintPlayerList(); });
    }

  private:
    void record(const std::function<void()>& call) {
        {
            std::lock_guard lock(m_);
            call();
        }
        cv_.notify_all();
    }

    mutable std::mutex m_;
    std::condition_variable cv_;
    test::RecordingUi inner_;
};

// The lobby server's side of one hall: a server player and a bot, run from the host's event
// handler with the real message codecs.
class TinyLobbyServer {
  public:
    explicit TinyLobbyServer(const std::string& address, bool welcome = true) : welcome_(welcome) {
        host_.SetEventHandler([this](const playnet::HostEvent& e) { onEvent(e); });
        playnet::HostOptions o;
        o.listenAddress = address;
        started_ = host_.Start(o);
        if (!started_) return;
        playnet::SessionConfig c;
        c.name = "Hall";
        c.application = kHallApp;
        c.maxPlayers = 50;
        c.password = zrt::kHallPassword;
        hall_ = *host_.CreateSession(c);
        server_ = host_.CreateHostPlayer(hall_, "server");
        botId_ = host_.CreateHostPlayer(hall_, "bot");
    }
    ~TinyLobbyServer() { host_.Close(); }

    bool started() const { return started_; }
    const Guid& hall() const { return hall_; }
    PlayerId server() const { return server_; }
    PlayerEntry bot() const { return makePlayer(botId_, "Bot", 321); }
    playnet::Host& host() { return host_; }

    // Sends from the server player to `to`.
    void send(PlayerId to, const std::vector<uint8_t>& m) {
        host_.SendFrom(server_, to, m.data(), m.size());
    }
    // Sends from the bot, a player of the hall that is not the server's.
    void sendFromBot(PlayerId to, const std::vector<uint8_t>& m) {
        host_.SendFrom(botId_, to, m.data(), m.size());
    }
    // The lobby codes received from `player`, in order.
    std::vector<uint32_t> codesFrom(PlayerId player) {
        std::lock_guard lock(m_);
        std::vector<uint32_t> codes;
        for (const auto& [from, code] : received_)
            if (from == player) codes.push_back(code);
        return codes;
    }
    size_t countFrom(PlayerId player, uint32_t code) {
        size_t n = 0;
        for (uint32_t c : codesFrom(player)) n += c == code ? 1 : 0;
        return n;
    }
    // Waits (bounded) for the first client player's creation or destruction.
    PlayerId waitCreated() {
        std::unique_lock lock(m_);
        cv_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] { return !created_.empty(); });
        return created_.empty() ? 0 : created_.front();
    }
    bool waitDestroyed(PlayerId id) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] {
            for (PlayerId d : destroyed_)
                if (d == id) return true;
            return false;
        });
    }
    bool waitReceived(PlayerId from, uint32_t code) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] {
            for (const auto& r : received_)
                if (r.first == from && r.second == code) return true;
            return false;
        });
    }

  private:
    void onEvent(const playnet::HostEvent& e) {
        using Kind = playnet::HostEvent::Kind;
        if (e.kind == Kind::PlayerCreated) {
            {
                std::lock_guard lock(m_);
                created_.push_back(e.player);
            }
            cv_.notify_all();
            if (welcome_) send(e.player, encodeWelcome(server_));
            return;
        }
        if (e.kind == Kind::PlayerDestroyed) {
            {
                std::lock_guard lock(m_);
                destroyed_.push_back(e.player);
            }
            cv_.notify_all();
            return;
        }
        if (e.player != server_) return;
        const std::optional<uint32_t> code = messageCode(e.data.data(), e.data.size());
        if (!code) return;
        {
            std::lock_guard lock(m_);
            received_.emplace_back(e.from, *code);
        }
        cv_.notify_all();
        if (*code == MSG_STATE_REQUEST) {
            send(e.from, encodePlayerInfo(bot()));
            send(e.from, encodeStateEnd());
        } else if (*code == MSG_CHAT) {
            send(e.from, e.data);
        }
    }

    const bool welcome_;
    playnet::Host host_;
    bool started_ = false;
    Guid hall_;
    PlayerId server_ = 0;
    PlayerId botId_ = 0;

    std::mutex m_;
    std::condition_variable cv_;
    std::vector<PlayerId> created_;
    std::vector<PlayerId> destroyed_;
    std::vector<std::pair<PlayerId, uint32_t>> received_;
};

playnet::ClientOptions QuickClient() {
    playnet::ClientOptions o;
    o.requestTimeoutMs = 5000;
    o.enumRefreshMs = 50;
    return o;
}

// The lobby screen's session objects, in the order the frame declares them.
struct LobbyStay {
    explicit LobbyStay(const std::string& address, TinyLobbyServer& server, bool open = true,
                       int welcomeWaitMs = kServerWaitMs)
        : presence(client, session, sender, receiver, welcomeWaitMs) {
        if (!open) return;
        opened = client.InitializeConnection(address) == playnet::Result::Ok &&
                 client.Open(server.hall(), zrt::kHallPassword) == playnet::Result::Ok;
    }
    HallPresenceResult enter() {
        receiver.StartSessionReceiver();
        return presence.EnterHall(makePlayer(0, "Me", 150), false);
    }
    uint32_t own() const { return session.ownPlayerId; }
    // A chat line through the sender and back through the server's relay: every message
    // sent before it has reached the server, every message queued before the relay has been
    // dispatched.
    bool roundTrip(const std::string& text) {
        sender.send(encodeChat({own(), 0, text}));
        return ui.waitForCall("chat " + std::to_string(own()) + " Me : " + text);
    }
    bool waitEnded() {
        return WaitUntil([&] { return receiver.loopEnded(); }, kWaitMs);
    }

    playnet::Client client{QuickClient()};
    LobbySession session;
    LockedUi ui;
    PlaynetSender sender{client, session};
    SessionDispatcher dispatcher{session, sender, ui};
    SessionReceiver receiver{client, session, dispatcher};
    HallPresence presence;
    bool opened = false;
};

TEST(SessionReceiver, WelcomeHandshakeAndSecondWelcome) {
    TinyLobbyServer server("127.0.10.1");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.1", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    EXPECT_NE(stay.own(), 0u);
    EXPECT_EQ(stay.session.serverPlayerId, server.server());
    ASSERT_TRUE(server.waitReceived(stay.own(), MSG_PLAYER_INFO));
    EXPECT_EQ(server.codesFrom(stay.own()),
              (std::vector<uint32_t>{MSG_STATE_REQUEST, MSG_PLAYER_INFO}));

    server.send(stay.own(), encodeWelcome(server.server()));
    server.send(stay.own(), encodeWelcome(server.server() + 5));
    ASSERT_TRUE(stay.roundTrip("after"));
    EXPECT_EQ(server.countFrom(stay.own(), MSG_STATE_REQUEST), 1u);
    EXPECT_EQ(server.countFrom(stay.own(), MSG_PLAYER_INFO), 1u);
    EXPECT_EQ(stay.session.serverPlayerId, server.server());
    // The own entry is the table's first, under the id the client was given.
    EXPECT_EQ(stay.session.hall.read()->players[0].id, stay.own());
}

TEST(SessionReceiver, SnapshotThenOneLinePerOtherPlayer) {
    TinyLobbyServer server("127.0.10.2");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.2", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    const PlayerEntry bot = server.bot();
    const std::string botLine = "line+ " + std::to_string(bot.id) + " Bot\t321";
    ASSERT_TRUE(stay.ui.waitForCall(botLine));
    ASSERT_TRUE(stay.ui.waitForCall("repaint-top"));
    ASSERT_TRUE(stay.ui.waitForCall("refresh-groups 1"));
    const std::vector<std::string> calls = stay.ui.calls();
    size_t lines = 0;
    for (const auto& c : calls) lines += c.rfind("line+ ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(lines, 1u);  // the bot only, never the own player
    EXPECT_EQ(stay.ui.count("status"), 1u);
    EXPECT_EQ(stay.session.hall.playerCount(), 2u);
    EXPECT_FALSE(stay.session.hall.read()->snapshot);

    // A live arrival adds its line at once.
    const PlayerEntry ann = makePlayer(4242, "Ann", 77);
    server.send(stay.own(), encodePlayerInfo(ann));
    ASSERT_TRUE(stay.ui.waitForCall("line+ 4242 Ann\t77"));
}

TEST(SessionReceiver, BurstIsCoalescedIntoFewRefreshes) {
    TinyLobbyServer server("127.0.10.3");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.3", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    ASSERT_TRUE(stay.ui.waitForCall("repaint-top"));  // the snapshot's flush
    const size_t before = stay.ui.count("repaint-top");

    // 50 chat lines from the bot, each after a new player's arrival (a top-panel request).
    const PlayerEntry bot = server.bot();
    for (uint32_t i = 0; i < 50; ++i) {
        server.send(stay.own(), encodePlayerInfo(makePlayer(5000 + i, "P" + std::to_string(i))));
        server.send(stay.own(), encodeChat({bot.id, 0, "line " + std::to_string(i)}));
    }
    const std::string last = "chat " + std::to_string(bot.id) + " Bot : line 49";
    ASSERT_TRUE(stay.ui.waitForCall(last));
    // The flush comes after the burst.
    ASSERT_TRUE(stay.ui.waitFor([&](const std::vector<std::string>& c) {
        for (size_t i = 0; i < c.size(); ++i)
            if (c[i] == last) {
                for (size_t j = i + 1; j < c.size(); ++j)
                    if (c[j] == "repaint-top") return true;
            }
        return false;
    }));
    size_t chats = 0;
    for (const auto& c : stay.ui.calls()) chats += c.rfind("chat ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(chats, 50u);
    const size_t flushes = stay.ui.count("repaint-top") - before;
    EXPECT_GE(flushes, 1u);
    EXPECT_LE(flushes, 5u);  // 50 requests, a handful of repaints at most
}

// A hall that never falls quiet for the idle period still gets its repaints: arrivals every
// 20 ms for two seconds see a top-panel repaint before the stream ends.
TEST(SessionReceiver, SteadyTrafficStillRepaints) {
    TinyLobbyServer server("127.0.10.11");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.11", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    ASSERT_TRUE(stay.ui.waitForCall("repaint-top"));  // the snapshot's flush
    const size_t before = stay.ui.count("repaint-top");
    constexpr uint32_t kArrivals = 100;
    for (uint32_t i = 0; i < kArrivals; ++i) {
        server.send(stay.own(), encodePlayerInfo(makePlayer(7000 + i, "S" + std::to_string(i))));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string last = "line+ " + std::to_string(7000 + kArrivals - 1) + " S99\t100";
    ASSERT_TRUE(stay.ui.waitForCall(last));
    size_t repaintsBeforeLast = 0;
    for (const auto& c : stay.ui.calls()) {
        if (c == last) break;
        repaintsBeforeLast += c == "repaint-top" ? 1 : 0;
    }
    EXPECT_GT(repaintsBeforeLast, before);
}

TEST(SessionReceiver, ChatGoesOutFromTheOwnPlayerAndComesBack) {
    TinyLobbyServer server("127.0.10.4");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.4", server);
    ASSERT_TRUE(stay.opened);
    // Before the own player exists nothing goes out.
    stay.sender.send(encodeChat({1, 0, "early"}));
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    ASSERT_TRUE(stay.roundTrip("hello"));
    EXPECT_EQ(server.countFrom(stay.own(), MSG_CHAT), 1u);
}

TEST(SessionReceiver, HostClosingIsALostConnection) {
    TinyLobbyServer server("127.0.10.5");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.5", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    ASSERT_TRUE(stay.roundTrip("before"));
    server.host().Close();
    // Within the heartbeat bound at the latest.
    ASSERT_TRUE(stay.ui.waitForCall(std::string("error ") + kSessionLostText));
    EXPECT_TRUE(stay.waitEnded());
    EXPECT_EQ(stay.ui.count(std::string("error ") + kSessionLostText), 1u);
    stay.presence.Teardown();
    EXPECT_EQ(stay.own(), 0u);
    EXPECT_FALSE(stay.receiver.running());
}

TEST(SessionReceiver, OwnNameTakenOverStopsTheLoop) {
    TinyLobbyServer server("127.0.10.6");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.6", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    ASSERT_TRUE(stay.roundTrip("before"));
    server.send(stay.own(), encodePlayerLeft(stay.own()));
    // Whatever follows is no longer dispatched.
    server.send(stay.own(), encodeNews("too late"));
    ASSERT_TRUE(stay.ui.waitForCall(std::string("error ") + kNameTakenText));
    EXPECT_TRUE(stay.waitEnded());
    EXPECT_TRUE(stay.receiver.running());  // ended by itself, not yet joined
    stay.receiver.StopSessionReceiver();
    stay.receiver.StopSessionReceiver();
    EXPECT_FALSE(stay.receiver.running());
    EXPECT_EQ(stay.ui.count("news too late"), 0u);
    const PlayerId own = stay.own();
    stay.presence.Teardown();
    EXPECT_TRUE(server.waitDestroyed(own));
}

TEST(SessionReceiver, NoWelcomeDestroysTheOwnPlayer) {
    TinyLobbyServer server("127.0.10.7", /*welcome=*/false);
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.7", server, true, /*welcomeWaitMs=*/300);
    ASSERT_TRUE(stay.opened);
    EXPECT_EQ(stay.enter(), HallPresenceResult::NoWelcome);
    EXPECT_STREQ(hallPresenceText(HallPresenceResult::NoWelcome),
                 "Error - Cannot Get Response from Server");
    EXPECT_EQ(stay.own(), 0u);
    const PlayerId created = server.waitCreated();
    ASSERT_NE(created, 0u);
    EXPECT_TRUE(server.waitDestroyed(created));
    stay.presence.Teardown();
    EXPECT_FALSE(stay.receiver.running());
}

TEST(SessionReceiver, NoSessionCannotCreatePlayer) {
    TinyLobbyServer server("127.0.10.8");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.8", server, /*open=*/false);
    EXPECT_EQ(stay.enter(), HallPresenceResult::CannotCreatePlayer);
    EXPECT_STREQ(hallPresenceText(HallPresenceResult::CannotCreatePlayer),
                 "Error - Cannot Create Player");
    EXPECT_EQ(stay.own(), 0u);
    stay.presence.Teardown();
    stay.presence.Teardown();
}

TEST(SessionReceiver, StopTwiceAndBeforeStartIsHarmless) {
    TinyLobbyServer server("127.0.10.9");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.9", server);
    ASSERT_TRUE(stay.opened);
    stay.receiver.StopSessionReceiver();  // never started
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    EXPECT_FALSE(stay.receiver.StartSessionReceiver());  // runs already
    stay.receiver.StopSessionReceiver();
    EXPECT_TRUE(stay.receiver.loopEnded());
    stay.receiver.StopSessionReceiver();
    EXPECT_FALSE(stay.receiver.running());
}

TEST(SessionReceiver, OnlyTheServerPlayerIsHeard) {
    TinyLobbyServer server("127.0.10.12");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.12", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    // Another player speaks to us directly: what would close the lobby, a line in its name.
    server.sendFromBot(stay.own(), encodePlayerLeft(stay.own()));
    server.sendFromBot(stay.own(), encodeChat({server.bot().id, 0, "psst"}));
    ASSERT_TRUE(stay.roundTrip("after"));
    EXPECT_FALSE(stay.receiver.loopEnded());
    for (const std::string& call : stay.ui.calls()) {
        EXPECT_EQ(call.find("psst"), std::string::npos) << call;
        EXPECT_NE(call.rfind("error ", 0), 0u) << call;
    }
}

TEST(SessionReceiver, TeardownLeavesTheOwnGroupAndDestroysThePlayer) {
    TinyLobbyServer server("127.0.10.10");
    ASSERT_TRUE(server.started());
    LobbyStay stay("127.0.10.10", server);
    ASSERT_TRUE(stay.opened);
    ASSERT_EQ(stay.enter(), HallPresenceResult::Ok);
    GroupCreatedMessage group;
    group.groupId = 31;
    group.creator = stay.own();
    group.title = "Ours";
    server.send(stay.own(), encodeGroupCreated(group));
    ASSERT_TRUE(stay.roundTrip("grouped"));
    ASSERT_EQ(stay.session.hall.read()->ownGroupId, 31u);
    const PlayerId own = stay.own();
    stay.presence.Teardown();
    EXPECT_TRUE(server.waitReceived(own, MSG_GROUP_LEAVE));
    EXPECT_TRUE(server.waitDestroyed(own));
    EXPECT_EQ(stay.own(), 0u);
    EXPECT_FALSE(stay.receiver.running());
    stay.presence.Teardown();
}

}  // namespace
}  // namespace zrt
