// The launch facility: connection settings on the wire, starting a registered program over
// the launch channel, and the lobby messages it returns.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "playnet/launch_settings.h"
#include "playnet/launcher.h"
#include "tests/support/scripted_launch.h"
#include "tests/support/wait_until.h"

using namespace playnet;

namespace {

const char* kAppText = "{11111111-2222-3333-4444-555555555555}";
const Guid kApp = *Guid::Parse(kAppText);

ConnectionSettings sampleSettings() {
    ConnectionSettings s;
    s.flags = kConnectCreateSession;
    s.session.instance = *Guid::Parse("{0B7E95D4-3C61-4A2F-B8D0-71C4E2A9F653}");
    s.session.application = kApp;
    s.session.maxPlayers = 3;
    s.session.name = "ZRT Session";
    s.playerShortName = "alice";
    s.playerLongName = "alice";
    s.serviceProvider = TcpServiceProvider();
    s.address = {{AddressKindServiceProvider(), std::vector<uint8_t>(16, 7)},
                 {AddressKindInet(), {0}}};
    return s;
}

// Receives until `n` messages came or 10 s passed.
std::vector<LobbyMessage> receive(Launcher& launcher, uint32_t id, AutoResetEvent& event,
                                  size_t n) {
    std::vector<LobbyMessage> got;
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (got.size() < n && std::chrono::steady_clock::now() < until) {
        std::vector<uint8_t> buf(1 << 20);
        uint32_t flags = 0;
        size_t size = buf.size();
        if (launcher.ReceiveLobbyMessage(id, flags, buf.data(), size) == Result::Ok) {
            buf.resize(size);
            got.push_back({flags, buf});
        } else {
            event.wait(200);
        }
    }
    return got;
}

uint32_t code(const LobbyMessage& m) {
    return m.isSystem() && m.data.size() >= 4 ? m.data[0] : 0;
}

}  // namespace

TEST(LaunchSettings, RoundTripAndTruncation) {
    const ConnectionSettings s = sampleSettings();
    const std::vector<uint8_t> bytes = s.Encode();
    std::optional<ConnectionSettings> back = ConnectionSettings::Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, s);
    EXPECT_FALSE(back->session.password);  // absent, not empty
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(ConnectionSettings::Decode(bytes.data(), cut)) << cut;
}

TEST(Launcher, UnregisteredAndMissingProgramsAreRefused) {
    ScriptedApplication app(kAppText);
    Launcher launcher;
    uint32_t id = 0;
    EXPECT_EQ(launcher.RunApplication(*Guid::Parse("{99999999-2222-3333-4444-555555555555}"),
                                      sampleSettings(), nullptr, id),
              Result::UnknownApplication);
    app.registerMissingProgram(kAppText);
    EXPECT_EQ(launcher.RunApplication(kApp, sampleSettings(), nullptr, id), Result::StartFailed);
}

TEST(Launcher, ProgramReadsTheSettingsAndReportsInOrder) {
    ScriptedApplication app(kAppText);
    app.script("settings,echo,fds,sys:3,big:70000,big:60000,sys:4");
    Launcher launcher;
    AutoResetEvent event;
    uint32_t id = 0;
    ASSERT_EQ(launcher.RunApplication(kApp, sampleSettings(), &event, id), Result::Ok);
    std::vector<LobbyMessage> got = receive(launcher, id, event, 6);
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(code(got[0]), kLobbySysConnectionSettingsRead);
    std::optional<ConnectionSettings> echoed =
        ConnectionSettings::Decode(got[1].data.data(), got[1].data.size());
    ASSERT_TRUE(echoed);
    EXPECT_EQ(*echoed, sampleSettings());
    // Only the channel is inherited: the launcher's other descriptors stay its own.
    EXPECT_EQ(std::string(got[2].data.begin(), got[2].data.end()), "fds:0");
    EXPECT_EQ(code(got[3]), kLobbySysConnectSucceeded);
    EXPECT_EQ(got[4].data.size(), 60000u);  // the larger one does not fit a frame
    EXPECT_EQ(code(got[5]), kLobbySysAppTerminated);
    // One "terminated" only, although the program's end follows it.
    ASSERT_TRUE(WaitUntil([&] { return launcher.ProgramEnded(id); }));
    uint32_t flags = 0;
    size_t size = 16;
    uint8_t small[16];
    EXPECT_EQ(launcher.ReceiveLobbyMessage(id, flags, small, size), Result::NoMessages);
}

TEST(Launcher, EndWithoutReportIsTerminatedAndSmallBuffersAreTold) {
    ScriptedApplication app(kAppText);
    app.script("settings,big:100,exit");
    Launcher launcher;
    AutoResetEvent event;
    uint32_t id = 0;
    ASSERT_EQ(launcher.RunApplication(kApp, sampleSettings(), &event, id), Result::Ok);
    receive(launcher, id, event, 1);  // settings read
    uint8_t small[8];
    size_t size = sizeof small;
    uint32_t flags = 0;
    for (int i = 0;
         i < 50 && launcher.ReceiveLobbyMessage(id, flags, small, size) == Result::NoMessages; ++i)
        event.wait(200);
    EXPECT_EQ(size, 100u);  // BufferTooSmall: the size it needs, and it stays queued
    std::vector<LobbyMessage> rest = receive(launcher, id, event, 2);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].data.size(), 100u);
    EXPECT_EQ(code(rest[1]), kLobbySysAppTerminated);
    EXPECT_EQ(launcher.ReceiveLobbyMessage(id + 1, flags, small, size), Result::InvalidParams);
}
