// Starting the game for a launch, and the wait for its lobby messages.
#include "lobby/session/game_launcher.h"

#include <chrono>
#include <vector>

#include "lobby/data/game_identity.h"
#include "lobby/session/launch_log.h"
#include "playnet/bytes.h"

namespace zrt {
namespace {

// A game's lobby message larger than this is not taken (the wait fails as out of memory).
constexpr size_t kMaxLobbyMessageSize = 1024 * 1024;

}  // namespace

playnet::ConnectionSettings BuildConnectionSettings(const LaunchRequest& request) {
    playnet::ConnectionSettings s;
    s.flags = request.host ? playnet::kConnectCreateSession : playnet::kConnectJoinSession;
    s.session.instance = *playnet::Guid::Parse(kGameInstanceGuid);
    s.session.application = *playnet::Guid::Parse(kGameGuid);
    s.session.maxPlayers = request.host ? static_cast<uint32_t>(request.memberCount) : 0;
    if (request.host) s.session.name = kGameSessionName;
    s.playerShortName = request.playerName;
    s.playerLongName = request.playerName;
    s.serviceProvider = playnet::TcpServiceProvider();
    const playnet::Guid& sp = playnet::TcpServiceProvider();
    s.address.push_back({playnet::AddressKindServiceProvider(),
                         std::vector<uint8_t>(sp.bytes.begin(), sp.bytes.end())});
    std::vector<uint8_t> inet;
    if (!request.host) inet.assign(request.hostAddress.begin(), request.hostAddress.end());
    inet.push_back(0);  // the host's element is the empty text
    s.address.push_back({playnet::AddressKindInet(), std::move(inet)});
    return s;
}

bool WaitForGameReport(playnet::Launcher& launcher, uint32_t appId, playnet::AutoResetEvent& event,
                       const std::filesystem::path& logFile, const LaunchWaitOptions& options) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(options.boundMs);
    LaunchLog log(logFile);
    std::vector<uint8_t> buffer;
    bool goOn = true;
    for (;;) {
        event.wait(options.passMs);
        if (Clock::now() >= deadline) return false;
        for (;;) {
            uint32_t flags = 0;
            size_t size = buffer.size();
            playnet::Result r = launcher.ReceiveLobbyMessage(appId, flags, buffer.data(), size);
            if (r == playnet::Result::BufferTooSmall) {
                if (size > kMaxLobbyMessageSize) return false;
                buffer.resize(size);
                log.line("DPERR_BUFFERTOOSMALL\r\n");
                continue;
            }
            if (r == playnet::Result::NoMessages) {
                log.line("DPERR_NOMESSAGES\r\n");
                if (goOn) break;
                return true;
            }
            if (r != playnet::Result::Ok) {
                log.line("Unknown hr from ReceiveLobbyMessage\r\n");
                return false;
            }
            if ((flags & playnet::kLobbyMessageSystem) == 0 || size < 4) {
                log.line("DPOK but not system message\r\n");
                continue;
            }
            playnet::ByteReader reader(buffer.data(), size);
            switch (reader.u32()) {
                case playnet::kLobbySysConnectionSettingsRead:
                    log.line("DPLSYS_CONNECTIONSETTINGSREAD\r\n");
                    break;
                case playnet::kLobbySysConnectFailed:
                    log.line("DPLSYS_DPLAYCONNECTFAILED\r\n");
                    goOn = false;
                    break;
                case playnet::kLobbySysConnectSucceeded:
                    log.line("DPLSYS_DPLAYCONNECTSUCCEEDED\r\n");
                    goOn = false;
                    break;
                case playnet::kLobbySysAppTerminated:
                    log.line("DPLSYS_APPTERMINATED\r\n");
                    return true;
                case playnet::kLobbySysNewConnectionSettings:
                    log.line("DPLSYS_NEWCONNECTIONSETTINGS\r\n");
                    break;
                default:
                    log.line("Unknown system message type\r\n");
                    return false;
            }
        }
    }
}

bool GameLauncher(const LaunchRequest& request, const std::filesystem::path& gameDir,
                  const LaunchWaitOptions& options) {
    // The event outlives the launcher: the launcher's reader of a game that plays on sets it
    // once more when the launcher drops the channel.
    playnet::AutoResetEvent event(true);  // starts set: the first pass does not wait
    playnet::Launcher launcher;
    uint32_t appId = 0;
    if (launcher.RunApplication(*playnet::Guid::Parse(kGameGuid), BuildConnectionSettings(request),
                                &event, appId) != playnet::Result::Ok)
        return false;
    return WaitForGameReport(launcher, appId, event, gameDir / kLaunchLogFile, options);
}

}  // namespace zrt
