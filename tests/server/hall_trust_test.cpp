// What a hall takes from a client and what it does not: clients reach the server player only,
// one player per connection that must announce itself in time, names that signed in from the
// player's own address and follow the login-name rules, and addresses the server vouches for.
// A well-behaved player is served all the while.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/hall_bot.h"
#include "tests/support/raw_peer.h"

using namespace zrttest;

namespace {

bool holds(const std::vector<BotMessage>& seen, const zrt::Bytes& data) {
    return std::any_of(seen.begin(), seen.end(),
                       [&](const BotMessage& m) { return m.data == data; });
}

// The hall chat line `marker` from `speaker` reaches `listener`: the hall serves them both.
bool served(HallBot& speaker, HallBot& listener, const std::string& marker) {
    return speaker.say(marker) && listener.until(speaker.id(), marker).has_value();
}

}  // namespace

TEST(HallTrust, ClientsReachTheServerPlayerOnly) {
    HallServer server("127.0.8.30");
    ASSERT_TRUE(server.start());
    HallBot victim, forger;
    ASSERT_TRUE(victim.enter(server, "Open Hall", "Victim"));
    ASSERT_TRUE(forger.enter(server, "Open Hall", "Forger"));
    // Straight at the victim, and at everyone: what would close its lobby, fake news.
    const zrt::Bytes left = zrt::encodePlayerLeft(victim.id());
    const zrt::Bytes news = zrt::encodeNews("The server is closing");
    ASSERT_TRUE(forger.sendTo(victim.id(), left));
    ASSERT_TRUE(forger.sendTo(playnet::kAllPlayers, news));
    ASSERT_TRUE(forger.say("after"));
    std::optional<std::vector<BotMessage>> seen = victim.until(forger.id(), "after");
    ASSERT_TRUE(seen);
    EXPECT_FALSE(holds(*seen, left));
    EXPECT_FALSE(holds(*seen, news));
    // Keeping at it ends the forger's connection; the victim goes on.
    for (int i = 0; i < 40; ++i) forger.sendTo(victim.id(), left);
    EXPECT_TRUE(forger.awaitLost(kBoundMs));
    EXPECT_TRUE(server.logged("messages addressed past the server player"));
    HallBot other;
    ASSERT_TRUE(other.enter(server, "Open Hall", "Other"));
    EXPECT_TRUE(served(victim, other, "still here"));
}

TEST(HallTrust, OneConnectionHoldsOnePlayerThatMustAnnounceItself) {
    HallServer server("127.0.8.31");
    ASSERT_TRUE(server.start());
    HallBot filler;
    ASSERT_TRUE(filler.open(server, "Amateur Hall", "Filler"));
    EXPECT_EQ(filler.createAnother("Second"), playnet::Result::SessionFull);
    // Welcomed, never announced: removed after the hall's 10 s, while a proper player is served.
    ASSERT_NE(filler.awaitWelcome(), 0u);
    HallBot good, peer;
    ASSERT_TRUE(good.enter(server, "Amateur Hall", "Good"));
    ASSERT_TRUE(peer.enter(server, "Amateur Hall", "Peer"));
    EXPECT_TRUE(served(good, peer, "meanwhile"));
    EXPECT_TRUE(filler.awaitLost(3 * kBoundMs));
    EXPECT_TRUE(server.logged("did not announce itself"));
    EXPECT_TRUE(served(good, peer, "afterwards"));
}

TEST(HallTrust, AHallNameNeedsASignInFromThePlayersAddress) {
    HallServer server("127.0.8.32");
    ASSERT_TRUE(server.start());
    HallBot owner, watcher;
    ASSERT_TRUE(owner.enter(server, "Expert Hall", "Owner"));
    ASSERT_TRUE(watcher.enter(server, "Amateur Hall", "Watcher"));

    // Never signed in anywhere: refused and removed.
    HallBot stranger;
    ASSERT_TRUE(stranger.join(server.address(), "Amateur Hall", "Stranger"));
    ASSERT_NE(stranger.awaitWelcome(), 0u);
    stranger.requestState();
    EXPECT_TRUE(stranger.awaitLost(kBoundMs));

    // The owner's name from another address, where it never signed in: refused, and the
    // owner keeps it.
    RawPeer impostor;
    ASSERT_TRUE(impostor.connect("127.0.23.32", server.address(), playnet::kDefaultPort));
    uint32_t id = impostor.enterHall("Intermediate Hall", "Impostor");
    ASSERT_NE(id, 0u);
    std::optional<playnet::MessageFrame> welcome = impostor.nextMessage(kBoundMs);
    ASSERT_TRUE(welcome);
    zrt::PlayerEntry claim = owner.info();
    claim.id = id;
    impostor.sendMessage(id, welcome->from, zrt::encodePlayerInfo(claim));
    EXPECT_TRUE(impostor.closedWithin(kBoundMs));
    EXPECT_TRUE(served(owner, owner, "still mine"));
    EXPECT_TRUE(server.logged("which has not signed in from 127.0.23.32"));

    // A signed-in player writing someone else's address is shown with its own.
    HallBot liar;
    ASSERT_TRUE(liar.open(server, "Amateur Hall", "Liar"));
    ASSERT_NE(liar.awaitWelcome(), 0u);
    zrt::PlayerEntry lie = liar.info();
    lie.address = "6.6.6.6";
    ASSERT_TRUE(liar.send(zrt::encodePlayerInfo(lie)));
    std::optional<BotMessage> shown = watcher.next(zrt::MSG_PLAYER_INFO);
    ASSERT_TRUE(shown);
    std::optional<zrt::PlayerEntry> entry =
        zrt::decodePlayerInfo(shown->data.data(), shown->data.size());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "Liar");
    EXPECT_EQ(entry->address, "127.0.0.1");
}

TEST(HallTrust, NamesFollowTheLoginRulesEvenWithoutSignIn) {
    HallServer server("127.0.8.33", "[halls]\nrequire_sign_in = false\n");
    ASSERT_TRUE(server.start());
    HallBot watcher;
    ASSERT_TRUE(watcher.enter(server, "Open Hall", "Watcher"));
    for (const char* bad : {"Line\r\nTwo", "Esc\x1b[2J", "High\xff", "With space"}) {
        HallBot bot;
        ASSERT_TRUE(bot.join(server.address(), "Open Hall", bad));
        ASSERT_NE(bot.awaitWelcome(), 0u);
        bot.requestState();
        EXPECT_TRUE(bot.awaitLost(kBoundMs)) << bad;
    }
    // The watcher never heard of any of them.
    HallBot fine;
    ASSERT_TRUE(fine.enter(server, "Open Hall", "Fine"));
    ASSERT_TRUE(fine.say("done"));
    std::optional<std::vector<BotMessage>> seen = watcher.until(fine.id(), "done");
    ASSERT_TRUE(seen);
    std::vector<uint32_t> codes = codesOf(*seen);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), zrt::MSG_PLAYER_INFO), 1) << "Fine's only";
}
