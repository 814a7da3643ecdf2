// A hostile game on the lobby's launch channel. The lobby starts the registered game, here a
// shell script in a private folder that writes the input (after its first byte) into its end
// of the channel and ends. The first byte picks who reads the lobby messages:
// - the lobby's whole launch (GameLauncher), which must come back and log only the lines it
//   knows; the game then keeps its end open a while after writing, as a game that plays on
//   after its report does;
// - a drain of a real Launcher checked here: the messages are exactly the channel's
//   LobbyMessage frames up to the first frame that is not one, then "terminated", once and
//   last; a message larger than the buffer stays queued and its size is reported.
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "lobby/data/game_identity.h"
#include "lobby/session/game_launcher.h"
#include "lobby/session/launch_log.h"
#include "playnet/bytes.h"
#include "playnet/frame.h"
#include "playnet/launcher.h"
#include "playnet/registration.h"

namespace {

using namespace playnet;
namespace fs = std::filesystem;

constexpr int kWaitMs = 30000;        // bounds a hang; generous, as a campaign runs at low priority
constexpr size_t kQueueBound = 4096;  // the launcher's flood bound

const fs::path& Dir() {
    return zrtfuzz::FuzzDir("launcher");
}

bool IsTerminated(const LobbyMessage& m) {
    ByteReader r(m.data.data(), m.data.size());
    return m.isSystem() && r.u32() == kLobbySysAppTerminated && r.ok();
}

// The messages the lobby should get from a program that wrote `bytes` and ended.
std::vector<LobbyMessage> Expected(const uint8_t* bytes, size_t size) {
    FrameDecoder decoder;
    decoder.Append(bytes, size);
    std::vector<LobbyMessage> out;
    for (;;) {
        uint8_t type = 0;
        std::span<const uint8_t> body;
        if (decoder.Next(type, body) != FrameDecoder::Status::Frame ||
            type != static_cast<uint8_t>(LaunchFrame::LobbyMessage))
            break;
        std::optional<LobbyMessage> m = LobbyMessage::Decode(body.data(), body.size());
        if (!m) break;
        out.push_back(std::move(*m));
        if (IsTerminated(out.back())) return out;
    }
    out.push_back(LobbyMessage::System(kLobbySysAppTerminated));
    return out;
}

void Drain(Launcher& launcher, uint32_t appId, AutoResetEvent& event,
           const std::vector<LobbyMessage>& expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    std::vector<uint8_t> buffer(8);
    size_t got = 0;
    while (got < expected.size()) {
        uint32_t flags = 0;
        size_t size = buffer.size();
        const Result r = launcher.ReceiveLobbyMessage(appId, flags, buffer.data(), size);
        if (r == Result::NoMessages) {
            FUZZ_CHECK(std::chrono::steady_clock::now() < deadline);
            event.wait(100);
            continue;
        }
        if (r == Result::BufferTooSmall) {
            FUZZ_CHECK(size > buffer.size() && size == expected[got].data.size());
            buffer.resize(size);
            continue;
        }
        FUZZ_CHECK(r == Result::Ok);
        FUZZ_CHECK(flags == expected[got].flags && size == expected[got].data.size());
        FUZZ_CHECK(std::equal(buffer.begin(), buffer.begin() + size, expected[got].data.begin()));
        ++got;
    }
    uint32_t flags = 0;
    size_t size = buffer.size();
    FUZZ_CHECK(launcher.ReceiveLobbyMessage(appId, flags, buffer.data(), size) ==
               Result::NoMessages);
}

void CheckLog() {
    static const std::set<std::string> known = {"DPERR_BUFFERTOOSMALL",
                                                "DPERR_NOMESSAGES",
                                                "Unknown hr from ReceiveLobbyMessage",
                                                "DPOK but not system message",
                                                "DPLSYS_CONNECTIONSETTINGSREAD",
                                                "DPLSYS_DPLAYCONNECTFAILED",
                                                "DPLSYS_DPLAYCONNECTSUCCEEDED",
                                                "DPLSYS_APPTERMINATED",
                                                "DPLSYS_NEWCONNECTIONSETTINGS",
                                                "Unknown system message type"};
    std::ifstream log(Dir() / zrt::kLaunchLogFile, std::ios::binary);
    for (std::string line; std::getline(log, line);) {
        FUZZ_CHECK(!line.empty() && line.back() == '\r');
        line.pop_back();
        FUZZ_CHECK(known.count(line) == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string config = (Dir() / "config").string();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_CONFIG_DIRS", config.c_str(), 1);
    FUZZ_CHECK(WriteRegistration("FuzzGame", {Dir().string(), "game.sh", zrt::kGameGuid}));
    std::ofstream(Dir() / "game.sh")
        << "#!/bin/sh\ncat input >&3\n[ -e linger ] && exec sleep 0.3\n";
    ::chmod((Dir() / "game.sh").c_str(), 0755);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool lobbyWaits = data[0] & 1;
    FUZZ_CHECK(zrtfuzz::WriteFile(Dir() / "input", data + 1, size - 1));
    std::error_code ec;
    if (lobbyWaits) {
        FUZZ_CHECK(zrtfuzz::WriteFile(Dir() / "linger", data, 0));
        zrt::GameLauncher({true, "", 3, "fuzz"}, Dir(), {20, kWaitMs});
        fs::remove(Dir() / "linger", ec);
        CheckLog();
        return 0;
    }
    const std::vector<LobbyMessage> expected = Expected(data + 1, size - 1);
    if (expected.size() > kQueueBound) return 0;  // a flood: cut at a point the drain decides
    AutoResetEvent event(true);                   // outlives the launcher, whose readers set it
    Launcher launcher;
    uint32_t appId = 0;
    FUZZ_CHECK(launcher.RunApplication(*Guid::Parse(zrt::kGameGuid), ConnectionSettings{}, &event,
                                       appId) == Result::Ok);
    Drain(launcher, appId, event, expected);
    return 0;
}
