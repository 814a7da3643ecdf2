// The lobby's game launch against a scripted program: what the game is handed, and how the
// wait for its report ends, with what "Launch.LOG" then holds.
#include "lobby/session/game_launcher.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "lobby/data/game_identity.h"
#include "lobby/session/launch_log.h"
#include "tests/support/scripted_launch.h"

using namespace zrt;

namespace {

std::string logOf(const std::filesystem::path& dir) {
    std::ifstream f(dir / kLaunchLogFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The lines appear in this order (idle passes may log "DPERR_NOMESSAGES" in between), and the
// log ends with the last of them.
::testing::AssertionResult logsInOrder(const std::string& log, std::vector<std::string> lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        size_t found = log.find(line + "\r\n", at);
        if (found == std::string::npos)
            return ::testing::AssertionFailure() << "no \"" << line << "\" after " << at << " in\n"
                                                 << log;
        at = found + line.size() + 2;
    }
    if (at != log.size())
        return ::testing::AssertionFailure() << "more after the last line:\n" << log;
    return ::testing::AssertionSuccess();
}

struct Launch : ::testing::Test {
    ScriptedApplication app{kGameGuid};
    zrttest::TempDir gameDir;
    LaunchWaitOptions quick{200, 3000};

    bool launch(const std::string& script, bool host = true) {
        app.script(script);
        return GameLauncher({host, host ? "" : "10.1.2.3", 3, "alice"}, gameDir.path(), quick);
    }
};

}  // namespace

TEST(LaunchRequest, HostCreatesAndMembersJoinTheOneSession) {
    const playnet::ConnectionSettings host = BuildConnectionSettings({true, "", 3, "alice"});
    EXPECT_EQ(host.flags, playnet::kConnectCreateSession);
    EXPECT_EQ(host.session.instance.ToString(), kGameInstanceGuid);
    EXPECT_EQ(host.session.application.ToString(), kGameGuid);
    EXPECT_EQ(host.session.maxPlayers, 3u);
    EXPECT_EQ(host.session.name, std::optional<std::string>("ZRT Session"));
    EXPECT_EQ(host.playerShortName, std::optional<std::string>("alice"));
    EXPECT_EQ(host.playerLongName, std::optional<std::string>("alice"));
    ASSERT_EQ(host.address.size(), 2u);
    EXPECT_EQ(host.address[0].kind, playnet::AddressKindServiceProvider());
    EXPECT_EQ(host.address[1].kind, playnet::AddressKindInet());
    EXPECT_EQ(host.address[1].data, std::vector<uint8_t>{0});

    const playnet::ConnectionSettings member =
        BuildConnectionSettings({false, "10.1.2.3", 3, "boris"});
    EXPECT_EQ(member.flags, playnet::kConnectJoinSession);
    EXPECT_EQ(member.session.instance, host.session.instance);
    EXPECT_EQ(member.session.maxPlayers, 0u);
    EXPECT_FALSE(member.session.name);
    const std::string inet(member.address[1].data.begin(), member.address[1].data.end());
    EXPECT_EQ(inet, std::string("10.1.2.3", 9));  // with its NUL
}

TEST_F(Launch, ConnectFailedStillCountsAsLaunched) {
    // The program waits before it reports, so idle passes find nothing queued meanwhile.
    EXPECT_TRUE(launch("settings,sleep:500,sys:2,sleep:1000"));
    EXPECT_TRUE(logsInOrder(logOf(gameDir.path()),
                            {"DPLSYS_CONNECTIONSETTINGSREAD", "DPERR_NOMESSAGES",
                             "DPERR_NOMESSAGES", "DPLSYS_DPLAYCONNECTFAILED", "DPERR_NOMESSAGES"}));
}

TEST_F(Launch, TerminatedEndsTheWaitAndTheLogIsRewrittenEachTime) {
    EXPECT_TRUE(launch("settings,sleep:300,big:5,sys:10,sys:4", false));
    EXPECT_TRUE(logsInOrder(
        logOf(gameDir.path()),
        {"DPLSYS_CONNECTIONSETTINGSREAD", "DPERR_BUFFERTOOSMALL", "DPOK but not system message",
         "DPLSYS_NEWCONNECTIONSETTINGS", "DPLSYS_APPTERMINATED"}));
    EXPECT_TRUE(launch("exit"));  // dies without a word: terminated all the same
    const std::string second = logOf(gameDir.path());
    EXPECT_EQ(second.find("DPLSYS_CONNECTIONSETTINGSREAD"), std::string::npos) << second;
    EXPECT_TRUE(logsInOrder(second, {"DPLSYS_APPTERMINATED"}));
}

TEST_F(Launch, SilenceUnknownCodesAndMissingProgramsFail) {
    EXPECT_FALSE(launch("settings,sleep:5000"));  // never reports: fails at the bound
    EXPECT_FALSE(launch("settings,sys:77"));
    EXPECT_NE(logOf(gameDir.path()).find("Unknown system message type\r\n"), std::string::npos);
    std::filesystem::remove(gameDir / kLaunchLogFile);
    app.registerMissingProgram(kGameGuid);
    EXPECT_FALSE(launch("settings,sys:3"));
    EXPECT_FALSE(std::filesystem::exists(gameDir / kLaunchLogFile));  // never started
}
