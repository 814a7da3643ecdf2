// Sending and receiving over loopback: clients' players, the host's own player, ordering and
// the receive outcomes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <tuple>

#include "loopback.h"

using namespace playnet_test;

namespace {

std::vector<uint8_t> numbered(uint32_t n, size_t size) {
    std::vector<uint8_t> v(size, static_cast<uint8_t>(n));
    ByteWriter w;
    w.u32(n);
    std::memcpy(v.data(), w.data().data(), std::min<size_t>(4, size));
    return v;
}

uint32_t numberOf(const std::vector<uint8_t>& v) {
    ByteReader r(v.data(), v.size());
    return r.u32();
}

struct TwoPlayers {
    Host host;
    Guid hall;
    PlayerId server = 0;
    AutoResetEvent evA, evB;  // outlive the clients that set them
    Client a, b;
    PlayerId ann = 0, bob = 0;

    void join(const std::string& address) {
        ASSERT_TRUE(host.Start(HostAt(address)));
        hall = *host.CreateSession(Hall("Hall"));
        server = host.CreateHostPlayer(hall, "server");
        ASSERT_NE(server, 0u);
        for (Client* c : {&a, &b}) {
            ASSERT_EQ(c->InitializeConnection(address), Result::Ok);
            ASSERT_EQ(c->Open(hall, kPassword), Result::Ok);
        }
        ASSERT_EQ(a.CreatePlayer("Ann", &evA, ann), Result::Ok);
        ASSERT_EQ(b.CreatePlayer("Bob", &evB, bob), Result::Ok);
        // Ann learns of Bob's arrival through a system message.
        auto m = NextMessage(a, evA, ann);
        ASSERT_TRUE(m);
        auto sys = SystemMessage::Decode(m->data.data(), m->data.size());
        ASSERT_TRUE(sys);
        EXPECT_EQ(sys->type, kSysPlayerCreated);
        EXPECT_EQ(sys->player, bob);
        EXPECT_EQ(sys->name, "Bob");
    }
};

}  // namespace

TEST(Messaging, GuaranteedAndPlainSendsArriveInOrder) {
    TwoPlayers t;
    t.join("127.0.47.3");
    const uint32_t count = 2000;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t flags = i % 2 ? kSendGuaranteed : 0;
        auto msg = numbered(i, 4 + i % 300);
        ASSERT_EQ(t.a.Send(t.ann, t.bob, flags, msg.data(), msg.size()), Result::Ok);
    }
    for (uint32_t i = 0; i < count; ++i) {
        auto m = NextMessage(t.b, t.evB, t.bob);
        ASSERT_TRUE(m) << i;
        EXPECT_EQ(m->from, t.ann);
        EXPECT_EQ(m->to, t.bob);
        ASSERT_EQ(m->data.size(), 4 + i % 300);
        ASSERT_EQ(numberOf(m->data), i);
    }
    // The largest message goes through; a larger one is refused.
    std::vector<uint8_t> big(kMaxMessageSize, 0x5A);
    ASSERT_EQ(t.a.Send(t.ann, t.bob, kSendGuaranteed, big.data(), big.size()), Result::Ok);
    auto m = NextMessage(t.b, t.evB, t.bob);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->data, big);
    big.push_back(0);
    EXPECT_EQ(t.a.Send(t.ann, t.bob, 0, big.data(), big.size()), Result::InvalidParams);
    EXPECT_EQ(t.a.Send(t.bob, t.ann, 0, "x", 1), Result::InvalidPlayer);  // not a local player
}

TEST(Messaging, ReceiveReportsNoMessagesAndBufferTooSmall) {
    TwoPlayers t;
    t.join("127.0.47.4");
    PlayerId from = 0, to = 0;
    char buf[64];
    size_t size = sizeof buf;
    EXPECT_EQ(t.b.Receive(from, to, buf, size), Result::NoMessages);
    to = 12345;
    EXPECT_EQ(t.b.Receive(from, to, buf, size), Result::InvalidPlayer);

    const char text[] = "twenty-one bytes long";
    ASSERT_EQ(t.a.Send(t.ann, t.bob, kSendGuaranteed, text, sizeof text - 1), Result::Ok);
    ASSERT_TRUE(t.evB.wait(5000));
    size = 4;
    to = 0;
    ASSERT_EQ(t.b.Receive(from, to, buf, size), Result::BufferTooSmall);
    EXPECT_EQ(size, sizeof text - 1);
    size = 0;
    ASSERT_EQ(t.b.Receive(from, to, nullptr, size), Result::BufferTooSmall);
    EXPECT_EQ(size, sizeof text - 1);
    ASSERT_EQ(t.b.Receive(from, to, buf, size), Result::Ok);  // the same message, still queued
    EXPECT_EQ(std::string(buf, size), "twenty-one bytes long");
    EXPECT_EQ(from, t.ann);
    EXPECT_EQ(to, t.bob);
    size = sizeof buf;
    to = 0;
    EXPECT_EQ(t.b.Receive(from, to, buf, size), Result::NoMessages);
}

TEST(Messaging, HostPlayerReceivesEverySendAndSendsToOneOrAll) {
    TwoPlayers t;
    t.join("127.0.47.5");
    // The host saw both players arrive.
    std::vector<PlayerId> created;
    while (created.size() < 2) {
        auto e = t.host.WaitEvent(5000);
        ASSERT_TRUE(e);
        if (e->kind == HostEvent::Kind::PlayerCreated) created.push_back(e->player);
    }
    EXPECT_EQ(created, (std::vector<PlayerId>{t.ann, t.bob}));

    ASSERT_EQ(t.a.Send(t.ann, t.server, kSendGuaranteed, "hello", 5), Result::Ok);
    ASSERT_EQ(t.b.Send(t.bob, t.server, 0, "hi", 2), Result::Ok);
    std::vector<std::pair<PlayerId, std::string>> got;
    while (got.size() < 2) {
        auto e = t.host.WaitEvent(5000);
        ASSERT_TRUE(e);
        if (e->kind != HostEvent::Kind::Message) continue;
        EXPECT_EQ(e->player, t.server);
        EXPECT_EQ(e->session, t.hall);
        got.emplace_back(e->from, std::string(e->data.begin(), e->data.end()));
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got[0], std::make_pair(t.ann, std::string("hello")));
    EXPECT_EQ(got[1], std::make_pair(t.bob, std::string("hi")));

    ASSERT_EQ(t.host.SendFrom(t.server, t.bob, "one", 3), Result::Ok);
    ASSERT_EQ(t.host.SendFrom(t.server, kAllPlayers, "all", 3), Result::Ok);
    auto m = NextMessage(t.b, t.evB, t.bob);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->from, t.server);
    EXPECT_EQ(std::string(m->data.begin(), m->data.end()), "one");
    for (auto [c, ev, p] : {std::tuple{&t.a, &t.evA, t.ann}, std::tuple{&t.b, &t.evB, t.bob}}) {
        auto all = NextMessage(*c, *ev, p);
        ASSERT_TRUE(all);
        EXPECT_EQ(all->from, t.server);
        EXPECT_EQ(all->to, p);
        EXPECT_EQ(std::string(all->data.begin(), all->data.end()), "all");
    }
    EXPECT_EQ(t.host.SendFrom(t.ann, t.bob, "x", 1), Result::InvalidPlayer);  // not host-owned
    EXPECT_EQ(t.host.SendFrom(t.server, 999999, "x", 1), Result::InvalidPlayer);

    // A client's send to all reaches the host's player and the other client, not the sender.
    ASSERT_EQ(t.a.Send(t.ann, kAllPlayers, 0, "everyone", 8), Result::Ok);
    auto fromAnn = NextMessage(t.b, t.evB, t.bob);
    ASSERT_TRUE(fromAnn);
    EXPECT_EQ(fromAnn->from, t.ann);
    for (;;) {
        auto e = t.host.WaitEvent(5000);
        ASSERT_TRUE(e);
        if (e->kind == HostEvent::Kind::Message) {
            EXPECT_EQ(e->from, t.ann);
            break;
        }
    }
    PlayerId from, to = t.ann;
    size_t size = 0;
    EXPECT_EQ(t.a.Receive(from, to, nullptr, size), Result::NoMessages);
}

TEST(Messaging, DestroyedPlayerIsAnnouncedAndNoLongerReceives) {
    TwoPlayers t;
    t.join("127.0.47.14");
    ASSERT_EQ(t.b.DestroyPlayer(t.bob), Result::Ok);
    EXPECT_EQ(t.b.DestroyPlayer(t.bob), Result::InvalidPlayer);
    auto m = NextMessage(t.a, t.evA, t.ann);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->isSystem(kSysPlayerDestroyed));
    EXPECT_EQ(SystemMessage::Decode(m->data.data(), m->data.size())->player, t.bob);
    EXPECT_EQ(t.a.Send(t.ann, t.bob, 0, "late", 4), Result::Ok);  // dropped by the host
    SessionDesc d;
    ASSERT_EQ(t.a.GetSessionDesc(d), Result::Ok);
    EXPECT_EQ(d.currentPlayers, 2u);
}

TEST(Messaging, EventHandlerReceivesEventsAndMayAnswerFromInside) {
    std::mutex m;
    std::vector<HostEvent::Kind> kinds;
    Host host;  // after what its handler touches
    PlayerId server = 0;
    host.SetEventHandler([&](const HostEvent& e) {
        std::lock_guard lock(m);
        kinds.push_back(e.kind);
        // Calling back into the host from the handler is allowed: echo the message.
        if (e.kind == HostEvent::Kind::Message) host.SendFrom(e.player, e.from, "echo", 4);
    });
    ASSERT_TRUE(host.Start(HostAt("127.0.47.15")));
    Guid hall = *host.CreateSession(Hall("Hall"));
    server = host.CreateHostPlayer(hall, "server");
    AutoResetEvent ev;
    Client c;
    PlayerId me = 0;
    ASSERT_EQ(c.InitializeConnection("127.0.47.15"), Result::Ok);
    ASSERT_EQ(c.Open(hall, kPassword), Result::Ok);
    ASSERT_EQ(c.CreatePlayer("Ann", &ev, me), Result::Ok);
    ASSERT_EQ(c.Send(me, server, kSendGuaranteed, "hi", 2), Result::Ok);
    auto echo = NextMessage(c, ev, me);
    ASSERT_TRUE(echo);
    EXPECT_EQ(echo->from, server);
    EXPECT_EQ(std::string(echo->data.begin(), echo->data.end()), "echo");
    EXPECT_FALSE(host.WaitEvent(0));  // events went to the handler, not the queue
    std::vector<HostEvent::Kind> seen;
    {
        std::lock_guard lock(m);
        seen = kinds;
    }
    EXPECT_EQ(seen, (std::vector<HostEvent::Kind>{HostEvent::Kind::PlayerCreated,
                                                  HostEvent::Kind::Message}));
}
