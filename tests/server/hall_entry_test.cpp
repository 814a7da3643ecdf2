// The halls as a client finds them: listed by enumeration with their kinds and counts, joined
// with the hall password, the welcome naming the server player, and the entry news after it.
#include <gtest/gtest.h>

#include <algorithm>

#include "lobby/session/hall_identity.h"
#include "server/server_config.h"
#include "tests/support/hall_bot.h"

using namespace zrttest;

TEST(HallEntry, DefaultHallsAreListedWithKindsAndCounts) {
    HallServer server("127.0.8.1");
    ASSERT_TRUE(server.start());
    std::vector<playnet::SessionDesc> halls = listHalls(server.address(), 5);
    ASSERT_EQ(halls.size(), 5u);
    struct Expected {
        const char* name;
        uint32_t kind;
    };
    const Expected expected[] = {{"Amateur Hall", 0},
                                 {"Intermediate Hall", 1},
                                 {"Expert Hall", 2},
                                 {"Gemstone Hall", 10},
                                 {"Open Hall", 5}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(halls[i].name, expected[i].name);
        EXPECT_EQ(halls[i].user[0], expected[i].kind);
        EXPECT_EQ(halls[i].maxPlayers, 50u);
        EXPECT_EQ(halls[i].currentPlayers, 1u) << "only the server player";
        EXPECT_TRUE(halls[i].passwordRequired);
    }

    // A player in a hall counts: the list shows current - 1 of them.
    HallBot bot;
    ASSERT_TRUE(bot.enter(server, "Expert Hall", "Counted"));
    halls = listHalls(server.address(), 5);
    auto expert = std::find_if(halls.begin(), halls.end(),
                               [](const auto& d) { return d.name == "Expert Hall"; });
    ASSERT_NE(expert, halls.end());
    EXPECT_EQ(expert->currentPlayers, 2u);
}

TEST(HallEntry, ConfiguredHallsReplaceTheDefaults) {
    HallServer server("127.0.8.2", R"([[hall]]
name = "Night Hall"
kind = 11
max_players = 8
[[hall]]
name = "Day Hall"
kind = 2
)");
    ASSERT_TRUE(server.start());
    std::vector<playnet::SessionDesc> halls = listHalls(server.address(), 2);
    ASSERT_EQ(halls.size(), 2u);
    EXPECT_EQ(halls[0].name, "Night Hall");
    EXPECT_EQ(halls[0].user[0], 11u);
    EXPECT_EQ(halls[0].maxPlayers, 8u);
    EXPECT_EQ(halls[1].name, "Day Hall");
    EXPECT_EQ(halls[1].maxPlayers, 50u);

    // The wrong password is refused; the right one opens.
    playnet::Client c;
    ASSERT_EQ(c.InitializeConnection(server.address()), playnet::Result::Ok);
    EXPECT_EQ(c.Open(halls[0].instance, "volken"), playnet::Result::WrongPassword);
    EXPECT_EQ(c.Open(halls[0].instance, zrt::kHallPassword), playnet::Result::Ok);
}

TEST(HallEntry, WelcomeNamesTheServerPlayerAndNewsFollows) {
    HallServer server("127.0.8.3", "[halls]\nentry_news = \"Tournament on Friday.\"\n");
    ASSERT_TRUE(server.start());
    HallBot bot;
    ASSERT_TRUE(bot.open(server, "Amateur Hall", "Newcomer"));
    // The first message is the welcome, well within the lobby's 10 s wait.
    std::optional<BotMessage> first = bot.next(std::nullopt, kBoundMs);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->code(), zrt::MSG_WELCOME);
    std::optional<uint32_t> server_id = zrt::decodeWelcome(first->data.data(), first->data.size());
    ASSERT_TRUE(server_id);
    EXPECT_NE(*server_id, 0u);
    EXPECT_EQ(first->from, *server_id) << "sent by the server player";
    EXPECT_EQ(first->data.size(), 8u);
    std::optional<BotMessage> news = bot.next();
    ASSERT_TRUE(news);
    ASSERT_EQ(news->code(), zrt::MSG_NEWS);
    EXPECT_EQ(zrt::decodeNews(news->data.data(), news->data.size()), "Tournament on Friday.");
    EXPECT_EQ(news->data.size(), 4u + 21u + 1u);
}

TEST(HallEntry, NoNewsByDefault) {
    HallServer server("127.0.8.4");
    ASSERT_TRUE(server.start());
    HallBot bot;
    ASSERT_TRUE(bot.open(server, "Open Hall", "Quiet"));
    ASSERT_NE(bot.awaitWelcome(), 0u);
    std::optional<std::vector<BotMessage>> snapshot = bot.requestState();
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(codesOf(*snapshot), std::vector<uint32_t>{zrt::MSG_STATE_END});
}

TEST(HallConfig, HallsAndTheirLimitsAreRead) {
    std::string error;
    auto c = zrtserver::parseConfig("", error);
    ASSERT_TRUE(c) << error;
    EXPECT_TRUE(c->halls.enabled);
    EXPECT_EQ(c->halls.port, 47624);
    EXPECT_EQ(c->halls.halls.size(), 5u);
    EXPECT_EQ(c->halls.serverPlayerName, "ZRTH Server");
    EXPECT_TRUE(c->halls.entryNews.empty());

    // The file written for a new data folder reads back as the defaults.
    c = zrtserver::parseConfig(zrtserver::defaultConfigText(), error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->halls.halls.size(), 5u);
    EXPECT_EQ(c->halls.halls[3].kind, 10u);

    const char* bad[] = {
        "[[hall]]\nkind = 1\n",                          // no name
        "[[hall]]\nname = \"A\"\nmax_players = 1\n",     // nobody but the server fits
        "[[hall]]\nname = \"A\"\nmax_players = 1002\n",  // above 1000 clients
        "[[hall]]\nname = \"A\"\nkind = -1\n",           // negative kind
        "hall = 3\n",                                    // not tables
        "[halls]\nport = 0\n",                           // no port
        "[halls]\nmessage_rate = 0\n",                   // no rate
        "[halls]\nenabled = 3\n",                        // not a flag
        "[halls]\nserver_player = \"\"\n",               // unnamed server player
    };
    for (const char* text : bad) EXPECT_FALSE(zrtserver::parseConfig(text, error)) << text;
    std::string longNews = "[halls]\nentry_news = \"" + std::string(4096, 'n') + "\"\n";
    EXPECT_FALSE(zrtserver::parseConfig(longNews, error));
    std::string elevenHalls;
    for (int i = 0; i < 11; ++i) elevenHalls += "[[hall]]\nname = \"H" + std::to_string(i) + "\"\n";
    EXPECT_FALSE(zrtserver::parseConfig(elevenHalls, error));
}
