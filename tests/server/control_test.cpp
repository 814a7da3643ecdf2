// The operator's command line against a real server: status figures, who, news and kick in
// the halls, the account commands live (a ban takes the player out of his hall and refuses
// his login) and with the server stopped, the audit, and the socket refusing other users.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "lobby/net/login_messages.h"
#include "tests/support/hall_bot.h"

using namespace zrttest;

namespace {

// Figures every login in these tests sends: more games than any correction sets.
zrt::AccountStats loginFigures() {
    zrt::AccountStats s = zrt::newAccountStats(1, 1, 2026, 1, 1);
    s.won = 50;
    return s;
}

int loginStatus(const std::string& host, const std::string& name, const std::string& password) {
    auto reply = login(host, name, loginFigures(), password);
    return reply ? reply->status : -1;
}

// Every password mailed for `name`.
std::set<std::string> mailedPasswords(const std::string& dataDir, const std::string& name) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dataDir + "/outbox")) {
        std::ifstream in(e.path());
        std::string line, text;
        while (std::getline(in, line)) text += line + "\n";
        size_t at = text.find("Password: ");
        if (text.find("Login name: " + name + "\r") != std::string::npos && at != std::string::npos)
            out.insert(text.substr(at + 10, text.find('\r', at) - at - 10));
    }
    return out;
}

bool contains(const CtlResult& r, const std::string& text) {
    return r.output.find(text) != std::string::npos;
}

}  // namespace

TEST(Control, StatusWhoNewsAndKickInTheHalls) {
    HallServer server("127.0.17.1");
    ASSERT_TRUE(server.start());
    HallBot stays, kicked;
    ASSERT_TRUE(stays.enter(server, "Expert Hall", "Stays"));
    ASSERT_TRUE(kicked.enter(server, "Expert Hall", "Kicked"));
    const std::string dir = server.dataDir();

    CtlResult status = runCtl(dir, {"status"});
    EXPECT_EQ(status.status, 0) << status.output;
    EXPECT_TRUE(contains(status, "hall \"Expert Hall\": 2 players, 0 groups")) << status.output;
    EXPECT_TRUE(contains(status, "hall \"Open Hall\": 0 players")) << status.output;
    EXPECT_TRUE(contains(status, "halls 2")) << status.output;  // one connection each
    EXPECT_TRUE(contains(status, " login 2 (0);")) << status.output;
    EXPECT_TRUE(contains(status, " new account 2 (0);")) << status.output;
    EXPECT_TRUE(contains(status, "accounts 2")) << status.output;

    CtlResult who = runCtl(dir, {"who", "expert hall"});
    EXPECT_EQ(who.output, "Expert Hall\tStays\t127.0.0.1\nExpert Hall\tKicked\t127.0.0.1\n");
    EXPECT_NE(runCtl(dir, {"who", "No Such Hall"}).status, 0);

    EXPECT_EQ(runCtl(dir, {"news", "Expert Hall", "Server", "restarts", "soon"}).status, 0);
    std::optional<BotMessage> news = stays.next(zrt::MSG_NEWS);
    ASSERT_TRUE(news);
    EXPECT_EQ(zrt::decodeNews(news->data.data(), news->data.size()), "Server restarts soon");

    CtlResult kick = runCtl(dir, {"kick", "KICKED", "flooding"});
    EXPECT_EQ(kick.status, 0) << kick.output;
    EXPECT_TRUE(kicked.awaitLost(kBoundMs)) << "the kicked lobby sees its connection lost";
    std::optional<BotMessage> left = stays.next(zrt::MSG_PLAYER_LEFT);
    ASSERT_TRUE(left);
    EXPECT_EQ(zrt::decodePlayerLeft(left->data.data(), left->data.size()), kicked.id());
    EXPECT_NE(runCtl(dir, {"kick", "Kicked"}).status, 0) << "nobody holds the name any more";

    CtlResult audit = runCtl(dir, {"audit"});
    EXPECT_TRUE(contains(audit, "root (uid 0)\t127.0.17.1\tkick KICKED flooding\tkicked"))
        << audit.output;
    EXPECT_TRUE(contains(audit, "news Expert Hall Server restarts soon")) << audit.output;
    EXPECT_FALSE(contains(audit, "\tstatus")) << "looking changes nothing and is not audited";
}

TEST(Control, AccountCommandsOnARunningServer) {
    HallServer server("127.0.17.2");
    ASSERT_TRUE(server.start());
    const std::string host = server.address(), dir = server.dataDir();
    HallBot bot;
    ASSERT_TRUE(bot.enter(server, "Open Hall", "Cheater"));
    const std::string first = *mailedPassword(dir, "Cheater");

    // A ban takes the player out of his hall and refuses his logins with the status the lobby
    // shows as unrecognised account data; the wrong password still reads as wrong.
    CtlResult ban =
        runCtl(dir, {"account", "ban", "cheater", "--until", "2099-01-01", "--reason", "edited"});
    EXPECT_EQ(ban.status, 0) << ban.output;
    EXPECT_TRUE(bot.awaitLost(kBoundMs));
    EXPECT_EQ(loginStatus(host, "Cheater", first), zrt::kLoginDataNotRecognised);
    EXPECT_EQ(loginStatus(host, "Cheater", "wrong"), zrt::kLoginWrongPassword);
    HallBot back;
    ASSERT_TRUE(back.join(host, "Open Hall", "Cheater"));
    EXPECT_NE(back.awaitWelcome(), 0u);
    back.requestState();
    EXPECT_TRUE(back.awaitLost(kBoundMs)) << "the ban also withdrew the name's sign-in";
    CtlResult show = runCtl(dir, {"account", "show", "Cheater"});
    EXPECT_TRUE(contains(show, "banned: until 2099-01-01T00:00:00Z: edited")) << show.output;
    EXPECT_TRUE(contains(runCtl(dir, {"account", "list", "ch*"}), "Cheater\t"));
    EXPECT_NE(runCtl(dir, {"account", "ban", "Cheater", "--until", "2001-01-01"}).status, 0);
    EXPECT_NE(runCtl(dir, {"account", "ban", "Cheater", "--until", "tomorrow"}).status, 0);

    EXPECT_EQ(runCtl(dir, {"account", "unban", "Cheater"}).status, 0);
    EXPECT_LT(loginStatus(host, "Cheater", first), 200);

    // A new password is mailed as a new account's is; only it opens the account afterwards.
    CtlResult reset = runCtl(dir, {"account", "reset-password", "Cheater"});
    EXPECT_EQ(reset.status, 0) << reset.output;
    std::set<std::string> passwords = mailedPasswords(dir, "Cheater");
    ASSERT_EQ(passwords.size(), 2u);
    passwords.erase(first);
    EXPECT_EQ(loginStatus(host, "Cheater", first), zrt::kLoginWrongPassword);
    EXPECT_LT(loginStatus(host, "Cheater", *passwords.begin()), 200);

    // A corrected ladder entry is what the ladder shows.
    EXPECT_EQ(runCtl(dir, {"account", "set-figures", "Cheater", "score=120", "won=3"}).status, 0);
    std::vector<zrt::LadderEntry> entries = ladder(host);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].stats.score, 120);
    EXPECT_EQ(entries[0].stats.won, 3);
    EXPECT_NE(runCtl(dir, {"account", "set-figures", "Cheater", "score=70000"}).status, 0);
    EXPECT_NE(runCtl(dir, {"account", "set-figures", "Cheater", "rank=1"}).status, 0);
    EXPECT_NE(runCtl(dir, {"account", "show", "Nobody"}).status, 0);

    CtlResult audit = runCtl(dir, {"audit", "100"});
    for (const char* action :
         {"account ban cheater --until 2099-01-01 --reason edited", "account unban Cheater",
          "account reset-password Cheater", "account set-figures Cheater score=120 won=3"})
        EXPECT_TRUE(contains(audit, action)) << action << "\n" << audit.output;
}

TEST(Control, AccountCommandsWithTheServerStopped) {
    HallServer server("127.0.17.3");
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(signIn(server.address(), server.dataDir(), "Offline"));
    const std::string dir = server.dataDir();
    EXPECT_EQ(server.stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir + "/zrtserver.ctl"));

    EXPECT_NE(runCtl(dir, {"status"}).status, 0) << "the halls need the server";
    EXPECT_EQ(runCtl(dir, {"account", "ban", "Offline"}).status, 0);
    CtlResult audit = runCtl(dir, {"audit"});
    EXPECT_TRUE(contains(audit, "\tctl\taccount ban Offline\tbanned Offline")) << audit.output;

    // A socket left by a killed server does not keep the next one from starting.
    ASSERT_TRUE(server.start());
    server.kill();
    ASSERT_TRUE(server.start());
    EXPECT_EQ(loginStatus(server.address(), "Offline", *mailedPassword(dir, "Offline")),
              zrt::kLoginDataNotRecognised);
}

TEST(Control, OtherUsersAreRefused) {
    HallServer server("127.0.17.4");
    ASSERT_TRUE(server.start());
    const std::string dir = server.dataDir();
    // Only the socket's own mode stands in the way: the test's folders above it are opened.
    ::chmod(std::filesystem::path(dir).parent_path().c_str(), 0755);
    ::chmod(dir.c_str(), 0755);
    CtlResult other = runCtl(dir, {"kick", "Anyone"}, 65534);
    EXPECT_NE(other.status, 0);
    EXPECT_TRUE(contains(other, "Permission denied")) << other.output;
    EXPECT_FALSE(contains(runCtl(dir, {"audit"}), "Anyone"));
}
