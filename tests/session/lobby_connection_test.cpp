// The session connection against a real playnet::Host on loopback: how halls are listed, the
// ten-hall limit, the gemstone rule, joins that fail, and the one-join-at-a-time guard.
#include "lobby/session/lobby_connection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "playnet/host.h"
#include "tests/support/wait_until.h"

namespace zrt {
namespace {

using playnet::Guid;

playnet::ClientOptions QuickOptions() {
    playnet::ClientOptions o;
    o.enumRefreshMs = 50;
    o.requestTimeoutMs = 5000;
    return o;
}

// A lobby server's hall host on a loopback address of the test's own.
class HallHost {
  public:
    explicit HallHost(const std::string& address) {
        playnet::HostOptions o;
        o.listenAddress = address;
        started_ = host_.Start(o);
    }
    bool started() const { return started_; }

    // A hall holding its server player (and `others` more host-owned players).
    Guid addHall(const std::string& name, uint32_t kind, uint32_t maxPlayers = 50, int others = 0,
                 const std::string& password = kHallPassword, const Guid& app = HallApplication()) {
        playnet::SessionConfig c;
        c.name = name;
        c.application = app;
        c.maxPlayers = maxPlayers;
        c.user[0] = kind;
        c.password = password;
        Guid id = *host_.CreateSession(c);
        host_.CreateHostPlayer(id, "server");
        for (int i = 0; i < others; ++i) host_.CreateHostPlayer(id, "p" + std::to_string(i));
        return id;
    }
    playnet::Host& host() { return host_; }

  private:
    playnet::Host host_;
    bool started_ = false;
};

// A connection bound to `address`.
struct Connected {
    explicit Connected(const std::string& address)
        : connection(playnet::kDefaultPort, QuickOptions()) {
        connection.CreateDirectPlay();
        bound = connection.ConnectToLobbyServer(address);
    }
    // Enumerates until `count` halls are listed (bounded).
    bool waitForHalls(size_t count) {
        return WaitUntil(
            [&] { return connection.EnumerateHalls(halls) && halls.count() == count; });
    }
    LobbyConnection connection;
    HallList halls;
    bool bound = false;
};

// What a join reports, handed from the worker to the test.
class JoinOutcome {
  public:
    LobbyConnection::JoinDone callback() {
        return [this](bool opened) {
            std::lock_guard lock(m_);
            ++calls_;
            opened_ = opened;
            cv_.notify_all();
        };
    }
    // The result of the first report, waiting at most 10 s.
    std::optional<bool> wait() {
        std::unique_lock lock(m_);
        if (!cv_.wait_for(lock, std::chrono::seconds(10), [&] { return calls_ > 0; })) return {};
        return opened_;
    }
    int calls() {
        std::lock_guard lock(m_);
        return calls_;
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    int calls_ = 0;
    bool opened_ = false;
};

// Joins `hall` and waits for the result; the join is handled afterwards.
std::optional<bool> JoinAndWait(LobbyConnection& c, const HallEntry& hall) {
    JoinOutcome outcome;
    if (!c.JoinHall(hall, outcome.callback())) return {};
    std::optional<bool> r = outcome.wait();
    c.JoinHandled();
    return r;
}

HallEntry EntryOf(playnet::Host& host, const Guid& id) {
    return MakeHallEntry(*host.Describe(id));
}

TEST(HallEntries, KindTextsAndGemstoneRule) {
    EXPECT_STREQ(HallKindText(0), "For Amateur Players");
    EXPECT_STREQ(HallKindText(1), "For Intermediate Players");
    EXPECT_STREQ(HallKindText(2), "For Expert Players");
    EXPECT_STREQ(HallKindText(10), "Battle Using Gemstones");
    for (uint32_t other : {3u, 9u, 11u, 0xFFFFFFFFu})
        EXPECT_STREQ(HallKindText(other), "Welcome for any players") << other;
    for (uint32_t k : {0u, 1u, 2u, 3u, 9u}) EXPECT_FALSE(IsGemstoneHall(k)) << k;
    for (uint32_t k : {10u, 11u, 200u}) EXPECT_TRUE(IsGemstoneHall(k)) << k;
}

// A hostile host's counts beyond what "%d" shows must not turn into negative numbers.
TEST(HallEntries, HugeCountsShowAsTheLargestNumber) {
    playnet::SessionDesc d;
    d.name = "Odd";
    d.maxPlayers = 0xFFFFFFFFu;
    d.currentPlayers = 0x80000005u;
    EXPECT_EQ(MakeHallEntry(d).text, "Odd  ( 2147483647 / 2147483647 )");
}

TEST(HallEntries, DisplayTextAndOrdering) {
    playnet::SessionDesc d;
    d.name = "Lonely";
    d.maxPlayers = 30;
    d.currentPlayers = 0;  // not even the server player yet
    EXPECT_EQ(MakeHallEntry(d).text, "Lonely  ( 0 / 30 )");
    d.name = std::string(400, 'x');
    EXPECT_EQ(MakeHallEntry(d).text.size(), kHallTextMax);

    auto hall = [](uint32_t kind, uint8_t id) {
        HallEntry h;
        h.kind = kind;
        h.instance.bytes[0] = id;
        return h;
    };
    const std::vector<HallEntry> found = {hall(0, 1), hall(10, 2), hall(2, 3), hall(2, 4),
                                          hall(10, 5)};
    std::vector<uint8_t> order;
    for (const HallEntry& h : OrderHallsByKind(found)) order.push_back(h.instance.bytes[0]);
    EXPECT_EQ(order, (std::vector<uint8_t>{2, 5, 3, 4, 1}));

    EXPECT_TRUE(SameHalls(found, OrderHallsByKind(found)));
    EXPECT_FALSE(SameHalls(found, {found.begin(), found.end() - 1}));
    std::vector<HallEntry> swapped = found;
    swapped[4] = hall(10, 9);
    EXPECT_FALSE(SameHalls(found, swapped));

    HallList list;
    for (uint8_t i = 0; i < 10; ++i) EXPECT_TRUE(list.add(hall(0, i)));
    EXPECT_FALSE(list.add(hall(0, 10)));
    EXPECT_EQ(list.count(), 10u);
}

TEST(HallEnumeration, CountsWithoutServerPlayerAndOnlyOpenHallsOfTheLobby) {
    HallHost server("127.0.7.1");
    ASSERT_TRUE(server.started());
    const Guid amber = server.addHall("Amber", 2, 50, 4);  // 5 players, the server's among them
    server.addHall("Packed", 0, 2, 1);                     // full: not offered
    server.addHall("Other game", 0, 50, 0, kHallPassword,
                   *Guid::Parse("{12345678-9ABC-DEF0-1234-56789ABCDEF0}"));

    Connected c("127.0.7.1");
    ASSERT_TRUE(c.bound);
    ASSERT_TRUE(c.waitForHalls(1));
    EXPECT_EQ(c.halls[0].text, "Amber  ( 4 / 50 )");
    EXPECT_EQ(c.halls[0].kind, 2u);
    EXPECT_EQ(c.halls[0].instance, amber);
}

TEST(HallEnumeration, TheEleventhHallIsNotListed) {
    HallHost server("127.0.7.2");
    ASSERT_TRUE(server.started());
    for (int i = 0; i < 11; ++i) server.addHall("Hall " + std::to_string(i), 0);

    Connected c("127.0.7.2");
    ASSERT_TRUE(c.waitForHalls(10));
    // Enumerate a few more passes: never more than ten, and always the first ten reported.
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(c.connection.EnumerateHalls(c.halls));
        ASSERT_EQ(c.halls.count(), 10u);
        for (size_t i = 0; i < 10; ++i)
            EXPECT_EQ(c.halls[i].text, "Hall " + std::to_string(i) + "  ( 0 / 50 )");
    }
}

TEST(HallEnumeration, NothingWithoutClientOrBinding) {
    LobbyConnection c(playnet::kDefaultPort, QuickOptions());
    HallList halls;
    EXPECT_FALSE(c.ConnectToLobbyServer("127.0.7.6"));
    EXPECT_FALSE(c.EnumerateHalls(halls));
    EXPECT_FALSE(c.JoinHall(HallEntry{}, [](bool) {}));
    EXPECT_FALSE(c.joinRunning());
    c.CreateDirectPlay();
    EXPECT_FALSE(c.EnumerateHalls(halls));  // not bound yet
    EXPECT_EQ(c.directPlay() != nullptr, true);
}

TEST(HallJoin, GemstoneFlagFollowsTheJoinedHallsKind) {
    HallHost server("127.0.7.3");
    ASSERT_TRUE(server.started());
    Connected c("127.0.7.3");
    for (uint32_t kind : {0u, 10u, 1u, 11u, 2u, 7u}) {
        SCOPED_TRACE(kind);
        const Guid id = server.addHall("Kind " + std::to_string(kind), kind);
        EXPECT_EQ(JoinAndWait(c.connection, EntryOf(server.host(), id)), std::optional(true));
        EXPECT_EQ(c.connection.gemstoneHall(), kind >= 10);
        playnet::SessionDesc desc;
        EXPECT_EQ(c.connection.directPlay()->GetSessionDesc(desc), playnet::Result::Ok);
        EXPECT_EQ(desc.instance, id);
        c.connection.CloseSession();
    }
}

TEST(HallJoin, WrongPasswordAndFullHallFail) {
    HallHost server("127.0.7.4");
    ASSERT_TRUE(server.started());
    const Guid locked = server.addHall("Locked", 0, 50, 0, "OTHER");
    const Guid full = server.addHall("Full", 0, 3, 2);
    Connected c("127.0.7.4");

    EXPECT_EQ(JoinAndWait(c.connection, EntryOf(server.host(), locked)), std::optional(false));
    EXPECT_EQ(c.connection.lastJoinResult(), playnet::Result::WrongPassword);
    EXPECT_EQ(JoinAndWait(c.connection, EntryOf(server.host(), full)), std::optional(false));
    EXPECT_EQ(c.connection.lastJoinResult(), playnet::Result::SessionFull);
    EXPECT_FALSE(c.connection.joinRunning());
}

TEST(HallJoin, ASecondJoinWhileTheFirstRunsHasNoEffect) {
    HallHost server("127.0.7.5");
    ASSERT_TRUE(server.started());
    const Guid first = server.addHall("First", 0);
    const Guid second = server.addHall("Second", 10);
    Connected c("127.0.7.5");

    JoinOutcome one, two;
    ASSERT_TRUE(c.connection.JoinHall(EntryOf(server.host(), first), one.callback()));
    EXPECT_TRUE(c.connection.joinRunning());
    EXPECT_FALSE(c.connection.JoinHall(EntryOf(server.host(), second), two.callback()));
    EXPECT_FALSE(c.connection.gemstoneHall());  // still the first hall's flag

    EXPECT_EQ(one.wait(), std::optional(true));
    // Until the result is handled the join still counts as running.
    EXPECT_TRUE(c.connection.joinRunning());
    EXPECT_FALSE(c.connection.JoinHall(EntryOf(server.host(), second), two.callback()));
    c.connection.JoinHandled();
    EXPECT_FALSE(c.connection.joinRunning());
    EXPECT_EQ(one.calls(), 1);
    EXPECT_EQ(two.calls(), 0);

    playnet::SessionDesc desc;
    ASSERT_EQ(c.connection.directPlay()->GetSessionDesc(desc), playnet::Result::Ok);
    EXPECT_EQ(desc.instance, first);
    // The host sees the joined connection; after CloseSession the session is left.
    c.connection.CloseSession();
    EXPECT_NE(c.connection.directPlay()->GetSessionDesc(desc), playnet::Result::Ok);
}

}  // namespace
}  // namespace zrt
