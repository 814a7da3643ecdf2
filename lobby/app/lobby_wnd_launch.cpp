// LobbyWnd: the game launch of the own group, for its host and for its members.
//
// The host stores the launch settings in its profile, stops the receiver (so it never handles
// its own launch message), starts its game and waits until the game has created the session;
// only then does the launch message with its address go to the hall, and the lobby ends. A
// member's receiver has ended itself on that message; the member starts its game to join at
// the host's address, and its lobby ends too. The wait runs off the UI thread: the window stays
// painted (user input held back, wait cursor) and is bounded (LaunchWaitOptions).
#include <filesystem>

#include "lobby/app/lobby_wnd.h"
#include "lobby/data/process_state.h"
#include "lobby/data/profile_lists.h"
#include "lobby/session/game_launcher.h"
#include "lobby/session/lobby_messages.h"
#include "lobby/ui/busy_wait.h"
#include "lobby/ui/error_box.h"
#include "lobby/ui/goodbye_box.h"

namespace zrt {

void LobbyWnd::storeLaunchSettings() {
    std::optional<std::string> savedGame;
    const int choice = session_.savedGameChoice;
    const std::vector<std::string>& names = Process().savedGames.names;
    if (choice >= 0 && static_cast<size_t>(choice) < names.size()) savedGame = names[choice];
    // A profile that cannot be updated is reported; the launch goes on.
    const ProfileResult r = StoreLaunchSettings(
        ctx_.gameDir.toStdString(), Profiles().currentPlayer, savedGame, session_.gemstoneHall);
    if (r != ProfileResult::Ok) ErrorBox::Show(this, ProfileErrorText(r));
}

void LobbyWnd::hostLaunch(size_t memberCount) {
    if (launching_ || closing_) return;
    launching_ = true;
    storeLaunchSettings();
    receiver_.StopSessionReceiver();
    const LaunchRequest request{true, {}, memberCount, Profiles().currentPlayer.loginName};
    const std::filesystem::path gameDir = ctx_.gameDir.toStdString();
    const bool launched = RunWhileBusy([&] { return GameLauncher(request, gameDir); });
    if (launched) {
        const uint32_t groupId = session_.hall.read()->ownGroupId;
        sender_.send(encodeLaunch({groupId, Process().localAddress}));
        GoodbyeBox::Show(this);
    } else {
        ErrorBox::Show(this, kHostLaunchFailedText);
    }
    launching_ = false;
    returnToHalls_ = false;
    close();
}

void LobbyWnd::memberLaunch(const std::string& hostAddress) {
    if (launching_ || closing_) return;
    launching_ = true;
    const size_t memberCount = session_.hall.ownGroupStatus().memberCount;
    storeLaunchSettings();
    const LaunchRequest request{false, hostAddress, memberCount,
                                Profiles().currentPlayer.loginName};
    const std::filesystem::path gameDir = ctx_.gameDir.toStdString();
    const bool launched = RunWhileBusy([&] { return GameLauncher(request, gameDir); });
    receiver_.StopSessionReceiver();
    if (launched)
        GoodbyeBox::Show(this);
    else
        ErrorBox::Show(this, kMemberLaunchFailedText);
    launching_ = false;
    returnToHalls_ = false;
    close();
}

}  // namespace zrt
