// Enumeration and joining over loopback: a real Host and real Clients.
#include <gtest/gtest.h>

#include "loopback.h"

using namespace playnet_test;

TEST(Enumeration, ListsAllElevenSessionsOfTheApplicationWithTheirFields) {
    Host host;
    ASSERT_TRUE(host.Start(HostAt("127.0.47.1")));
    std::vector<Guid> ids;
    for (int i = 0; i < 11; ++i) {
        SessionConfig c = Hall("Hall " + std::to_string(i), 50, i % 2 ? kPassword : "");
        c.user = {static_cast<uint32_t>(i), 0, 0, 7};
        ids.push_back(*host.CreateSession(c));
        host.CreateHostPlayer(ids.back(), "server");
    }
    ASSERT_TRUE(host.CreateSession(Hall("Other game", 8, "", kAppB)));

    Client client;
    std::vector<SessionDesc> sessions;
    EXPECT_EQ(client.EnumSessions(kAppA, sessions), Result::NotInitialized);
    ASSERT_EQ(client.InitializeConnection("127.0.47.1"), Result::Ok);
    ASSERT_EQ(client.EnumSessions(kAppA, sessions, 5000), Result::Ok);
    ASSERT_EQ(sessions.size(), 11u);
    for (int i = 0; i < 11; ++i) {
        const SessionDesc& d = sessions[i];
        EXPECT_EQ(d.name, "Hall " + std::to_string(i));
        EXPECT_EQ(d.instance, ids[i]);
        EXPECT_EQ(d.application, kAppA);
        EXPECT_EQ(d.maxPlayers, 50u);
        EXPECT_EQ(d.currentPlayers, 1u);
        EXPECT_EQ(d.user[0], static_cast<uint32_t>(i));
        EXPECT_EQ(d.user[3], 7u);
        EXPECT_EQ(d.passwordRequired, i % 2 == 1);
    }

    // The enumeration refreshes in the background: a twelfth session shows up by itself.
    host.CreateSession(Hall("Late hall"));
    EXPECT_TRUE(WaitUntil([&] {
        client.EnumSessions(kAppA, sessions);
        return sessions.size() == 12;
    }));
    // Another application's enumeration lists only its own sessions.
    ASSERT_EQ(client.EnumSessions(kAppB, sessions, 5000), Result::Ok);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0].name, "Other game");
    client.StopEnumSessions();
}

TEST(Enumeration, ReturnsAtOnceAndEmptiesWhenTheHostIsUnreachable) {
    Client client;
    ASSERT_EQ(client.InitializeConnection("127.0.47.12"), Result::Ok);
    EXPECT_EQ(client.InitializeConnection("localhost", 1), Result::Ok);  // names resolve too
    ASSERT_EQ(client.InitializeConnection("127.0.47.12"), Result::Ok);
    std::vector<SessionDesc> sessions(3);
    ASSERT_EQ(client.EnumSessions(kAppA, sessions), Result::Ok);
    EXPECT_TRUE(sessions.empty());
    EXPECT_EQ(client.InitializeConnection(""), Result::ConnectFailed);
}

TEST(Open, FailsWithWrongPasswordFullSessionOrUnknownInstance) {
    Host host;
    ASSERT_TRUE(host.Start(HostAt("127.0.47.2")));
    Guid hall = *host.CreateSession(Hall("Hall", 2));
    host.CreateHostPlayer(hall, "server");
    Guid open = *host.CreateSession(Hall("Open hall", 0, ""));

    AutoResetEvent ev;
    Client a, b, c;
    for (Client* x : {&a, &b, &c}) ASSERT_EQ(x->InitializeConnection("127.0.47.2"), Result::Ok);
    EXPECT_EQ(a.Open(hall, "volken"), Result::WrongPassword);
    EXPECT_EQ(a.Open(Guid::Generate(), kPassword), Result::NoSuchSession);
    ASSERT_EQ(a.Open(hall, kPassword), Result::Ok);
    EXPECT_EQ(a.Open(hall, kPassword), Result::AlreadyOpen);

    PlayerId id = 0;
    ASSERT_EQ(a.CreatePlayer("Ann", &ev, id), Result::Ok);
    EXPECT_NE(id, 0u);
    // Server player + Ann = 2 of 2: the hall is full, for opening and for creating.
    EXPECT_EQ(b.Open(hall, kPassword), Result::SessionFull);
    PlayerId second = 0;
    EXPECT_EQ(a.CreatePlayer("Bob", &ev, second), Result::SessionFull);

    SessionDesc d;
    ASSERT_EQ(a.GetSessionDesc(d), Result::Ok);
    EXPECT_EQ(d.name, "Hall");
    EXPECT_EQ(d.instance, hall);
    EXPECT_EQ(d.maxPlayers, 2u);
    EXPECT_EQ(d.currentPlayers, 2u);

    // Leaving frees the place; the description follows at the others' side too.
    ASSERT_EQ(c.Open(open, "anything"), Result::Ok);
    a.Close();
    EXPECT_EQ(a.GetSessionDesc(d), Result::NoSession);
    EXPECT_EQ(a.Send(id, 0, 0, "x", 1), Result::NoSession);
    EXPECT_TRUE(WaitUntil([&] { return host.Players(hall).size() == 1; }));
    ASSERT_EQ(b.Open(hall, kPassword), Result::Ok);
    ASSERT_EQ(b.GetSessionDesc(d), Result::Ok);
    EXPECT_EQ(d.currentPlayers, 1u);
}

TEST(Open, FailsToConnectWhenNoHostListens) {
    AutoResetEvent ev;
    Client client;
    ASSERT_EQ(client.InitializeConnection("127.0.47.13"), Result::Ok);
    EXPECT_EQ(client.Open(Guid::Generate(), ""), Result::ConnectFailed);
    PlayerId id;
    EXPECT_EQ(client.CreatePlayer("x", &ev, id), Result::NoSession);
}
