// Failures of the link over loopback: vanished clients, a closed or silent host, garbage and
// slow readers.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <thread>

#include "loopback.h"

using namespace playnet_test;

namespace {

// The longest a client takes to report a lost host: closed links at once, silent ones after
// 6 s without a frame, checked every 0.5 s; the rest is room for a loaded machine.
constexpr int kLostBoundMs = 8000;

struct HallWithAnn {
    Host host;
    Guid hall;
    PlayerId server = 0;
    AutoResetEvent evA;  // outlives the client that sets it
    Client a;
    PlayerId ann = 0;

    void start(const std::string& address, HostOptions options = {}) {
        options.listenAddress = address;
        ASSERT_TRUE(host.Start(options));
        hall = *host.CreateSession(Hall("Hall"));
        server = host.CreateHostPlayer(hall, "server");
        ASSERT_EQ(a.InitializeConnection(address), Result::Ok);
        ASSERT_EQ(a.Open(hall, kPassword), Result::Ok);
        ASSERT_EQ(a.CreatePlayer("Ann", &evA, ann), Result::Ok);
    }
    // Ann still talks with the server player both ways.
    void expectAnnServed() {
        ASSERT_EQ(host.SendFrom(server, ann, "ping", 4), Result::Ok);
        std::optional<Received> m;
        do {
            m = NextMessage(a, evA, ann);
            ASSERT_TRUE(m);
        } while (m->from != server);
        EXPECT_EQ(std::string(m->data.begin(), m->data.end()), "ping");
        ASSERT_EQ(a.Send(ann, server, kSendGuaranteed, "pong", 4), Result::Ok);
        for (;;) {
            auto e = host.WaitEvent(5000);
            ASSERT_TRUE(e);
            if (e->kind == HostEvent::Kind::Message && e->from == ann) break;
        }
    }
    bool waitHostDestroyed(PlayerId p) {
        for (;;) {
            auto e = host.WaitEvent(5000);
            if (!e) return false;
            if (e->kind == HostEvent::Kind::PlayerDestroyed && e->player == p) return true;
        }
    }
};

}  // namespace

TEST(LinkFailure, VanishedClientsAreAnnouncedAsDestroyed) {
    HallWithAnn t;
    t.start("127.0.47.6");
    RawPeer raw;
    ASSERT_TRUE(raw.Connect("127.0.47.6"));
    PlayerId rawId = 0;
    ASSERT_TRUE(raw.Join(t.hall, kPassword, rawId));
    AutoResetEvent evB;
    auto bob = std::make_unique<Client>();
    PlayerId bobId = 0;
    ASSERT_EQ(bob->InitializeConnection("127.0.47.6"), Result::Ok);
    ASSERT_EQ(bob->Open(t.hall, kPassword), Result::Ok);
    ASSERT_EQ(bob->CreatePlayer("Bob", &evB, bobId), Result::Ok);

    raw.Close();
    bob.reset();
    std::set<PlayerId> gone;
    while (gone.size() < 2) {
        auto m = NextMessage(t.a, t.evA, t.ann);
        ASSERT_TRUE(m);
        if (!m->isSystem(kSysPlayerDestroyed)) continue;
        gone.insert(SystemMessage::Decode(m->data.data(), m->data.size())->player);
    }
    EXPECT_EQ(gone, (std::set<PlayerId>{rawId, bobId}));
    EXPECT_TRUE(WaitUntil([&] { return t.host.Players(t.hall).size() == 2; }));
    SessionDesc d;
    ASSERT_EQ(t.a.GetSessionDesc(d), Result::Ok);
    EXPECT_EQ(d.currentPlayers, 2u);
    // Both left (one with frames unread, which resets the link): the host cut neither.
    EXPECT_TRUE(WaitUntil([&] { return t.host.ClosedLinks(CloseReason::PeerClosed) == 2; }));
    EXPECT_EQ(t.host.ClosedLinks(CloseReason::Error), 0u);

    // The host program can cut a client off too.
    AutoResetEvent evC;
    Client carl;
    PlayerId carlId = 0;
    ASSERT_EQ(carl.InitializeConnection("127.0.47.6"), Result::Ok);
    ASSERT_EQ(carl.Open(t.hall, kPassword), Result::Ok);
    ASSERT_EQ(carl.CreatePlayer("Carl", &evC, carlId), Result::Ok);
    EXPECT_FALSE(t.host.DisconnectPlayer(t.server));
    ASSERT_TRUE(t.host.DisconnectPlayer(carlId));
    EXPECT_TRUE(WaitSystem(carl, evC, carlId, kSysSessionLost, kLostBoundMs));
    EXPECT_TRUE(t.waitHostDestroyed(carlId));
}

TEST(LinkFailure, ClosingTheHostReportsSessionLostWithinTheBound) {
    HallWithAnn t;
    t.start("127.0.47.7");
    t.host.Close();
    ASSERT_TRUE(WaitSystem(t.a, t.evA, t.ann, kSysSessionLost, kLostBoundMs));
    EXPECT_EQ(t.a.Send(t.ann, t.server, 0, "x", 1), Result::SessionLost);
    SessionDesc d;
    EXPECT_EQ(t.a.GetSessionDesc(d), Result::SessionLost);
    EXPECT_EQ(d.name, "Hall");
    PlayerId id;
    EXPECT_EQ(t.a.CreatePlayer("again", &t.evA, id), Result::SessionLost);
    t.a.Close();
    EXPECT_EQ(t.a.Open(t.hall, kPassword), Result::ConnectFailed);
}

// A host at `address` that answers the join honestly and grants the player id `grant`, then
// says nothing more, not even heartbeats. With `confuse`, an open answer carrying the
// create-player request's token comes before the true answer.
struct FakeHost {
    RawPeer peer;
    AutoResetEvent ev;
    Client client;
    PlayerId id = 0;
    Result opened = Result::Timeout, created = Result::Timeout;

    bool join(const std::string& address, PlayerId grant, bool confuse = false) {
        asio::ip::tcp::acceptor acceptor(peer.io(),
                                         {asio::ip::make_address(address), kDefaultPort});
        if (client.InitializeConnection(address) != Result::Ok) return false;
        std::thread joiner([&] {
            opened = client.Open(Guid{}, "");
            if (opened == Result::Ok) created = client.CreatePlayer("Ann", &ev, id);
        });
        bool accepted = peer.Accept(acceptor, 5000);
        if (accepted) {
            auto hello = peer.ReadFrame();
            peer.Write(HelloFrame{}.Encode());
            auto open = peer.ReadFrame();
            OpenReplyFrame reply;
            reply.token = open ? OpenRequestFrame::Decode(open->second)->token : 0;
            reply.session.name = "Quiet";
            peer.Write(reply.Encode());
            auto create = peer.ReadFrame();
            CreatePlayerReplyFrame cr;
            cr.token = create ? CreatePlayerFrame::Decode(create->second)->token : 0;
            cr.player = grant;
            reply.token = cr.token;
            if (confuse) peer.Write(reply.Encode());
            peer.Write(cr.Encode());
        }
        joiner.join();
        return accepted && opened == Result::Ok;
    }
};

TEST(LinkFailure, SilentHostIsNoticedByTheHeartbeat) {
    FakeHost fake;
    ASSERT_TRUE(fake.join("127.0.47.10", 7));
    ASSERT_EQ(fake.created, Result::Ok);
    EXPECT_EQ(fake.id, 7u);
    EXPECT_TRUE(WaitSystem(fake.client, fake.ev, fake.id, kSysSessionLost, kLostBoundMs));
}

// Player id 0 means "the system": a player granted it would never hear its session was lost.
TEST(LinkFailure, HostGrantingPlayerIdZeroIsRefused) {
    FakeHost fake;
    ASSERT_TRUE(fake.join("127.0.47.11", 0));
    EXPECT_NE(fake.created, Result::Ok);
    EXPECT_TRUE(fake.peer.WaitClosed());
}

// Each request takes one answer of its own kind: an open answer with a create-player token
// neither answers the creation nor leaves the client a player it did not ask for.
TEST(LinkFailure, AnAnswerOfAnotherKindIsNotTakenForTheRequest) {
    FakeHost fake;
    ASSERT_TRUE(fake.join("127.0.47.16", 9, true));
    ASSERT_EQ(fake.created, Result::Ok);
    EXPECT_EQ(fake.id, 9u);
    EXPECT_TRUE(WaitSystem(fake.client, fake.ev, fake.id, kSysSessionLost, kLostBoundMs));
}

TEST(LinkFailure, GarbageClosesOnlyThatConnection) {
    HallWithAnn t;
    t.start("127.0.47.8");

    RawPeer joined;
    ASSERT_TRUE(joined.Connect("127.0.47.8"));
    PlayerId rawId = 0;
    ASSERT_TRUE(joined.Join(t.hall, kPassword, rawId));
    joined.Write({0xFF, 0xFF, 0xFF, 0xFF, 0x17, 1, 2, 3});  // a length beyond the maximum
    EXPECT_TRUE(joined.WaitClosed());
    EXPECT_TRUE(WaitSystem(t.a, t.evA, t.ann, kSysPlayerDestroyed));

    std::vector<std::vector<std::vector<uint8_t>>> misbehaviours = {
        // Sends before saying hello.
        {MessageFrame::EncodeFrom(FrameType::Send, 1, 0, 0, "x", 1)},
        // A frame of length 0.
        {HelloFrame{}.Encode(), {0, 0, 0, 0}},
        // An unknown frame type.
        {HelloFrame{}.Encode(), EncodeFrame(0x7F, std::span<const uint8_t>{})},
        // An open request cut short inside its own frame.
        {HelloFrame{}.Encode(), {6, 0, 0, 0, 0x12, 1, 0, 0, 0, 0xAA}},
        // A frame only the host sends.
        {HelloFrame{}.Encode(), PlayerNoticeFrame{}.Encode()},
        // A second hello.
        {HelloFrame{}.Encode(), HelloFrame{}.Encode()},
    };
    for (size_t i = 0; i < misbehaviours.size(); ++i) {
        RawPeer bad;
        ASSERT_TRUE(bad.Connect("127.0.47.8"));
        for (const auto& f : misbehaviours[i]) bad.Write(f);
        EXPECT_TRUE(bad.WaitClosed()) << "case " << i;
    }

    // Another protocol version is told so, then closed.
    RawPeer future;
    ASSERT_TRUE(future.Connect("127.0.47.8"));
    future.Write(HelloFrame{2}.Encode());
    future.Write(OpenRequestFrame{1, t.hall, kPassword}.Encode());  // not read any more
    auto err = future.ReadFrame();
    ASSERT_TRUE(err);
    ASSERT_EQ(err->first, FrameType::Error);
    EXPECT_EQ(ErrorFrame::Decode(err->second)->code, WireError::VersionMismatch);
    EXPECT_TRUE(future.WaitClosed());
    // Each was counted as cut for garbage: the joined peer, the six and the other version.
    EXPECT_TRUE(WaitUntil([&] { return t.host.ClosedLinks(CloseReason::Garbage) == 8; }));

    t.expectAnnServed();
}

TEST(LinkFailure, ReaderThatStopsIsCutOffWithoutStallingOthers) {
    HallWithAnn t;
    HostOptions options;
    options.link.sendQueueLimit = 256 * 1024;
    t.start("127.0.47.9", options);
    RawPeer stuck;
    ASSERT_TRUE(stuck.Connect("127.0.47.9"));
    PlayerId stuckId = 0;
    ASSERT_TRUE(stuck.Join(t.hall, kPassword, stuckId));

    // The stuck peer never reads again: kernel buffers fill, then the host's queue overflows.
    std::vector<uint8_t> chunk(60000, 0xCD);
    bool cut = false;
    for (int i = 0; i < 5000 && !cut; ++i) {
        t.host.SendFrom(t.server, stuckId, chunk.data(), chunk.size());
        if (i % 20 == 0) {
            auto players = t.host.Players(t.hall);
            cut = std::none_of(players.begin(), players.end(),
                               [&](const PlayerInfo& p) { return p.id == stuckId; });
        }
    }
    EXPECT_TRUE(cut || WaitUntil([&] { return t.host.Players(t.hall).size() == 2; }));
    EXPECT_TRUE(t.waitHostDestroyed(stuckId));
    EXPECT_TRUE(WaitSystem(t.a, t.evA, t.ann, kSysPlayerDestroyed));
    t.expectAnnServed();
    stuck.Close();
}
