// zrtgame started by a lobby: the group's game. It reads the connection settings, finds its
// player's profile and what the lobby wrote there for this launch, creates the game session
// (host) or joins it at the host's address (member) and says which to the lobby, plays the
// match, writes the result into the profile and reports its end.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "game/commands.h"
#include "game/match.h"
#include "game/player_profile.h"
#include "game/session_links.h"

namespace zrtgame {
namespace {

constexpr int kSettingsWaitMs = 10000;
constexpr int kPlayersWaitMs = 60000;  // the host waits this long for every member
constexpr int kJoinWaitMs = 15000;     // a member waits this long for the host's session
constexpr int kRosterWaitMs = kPlayersWaitMs + 15000;
constexpr int kRoundMs = 500;
constexpr int kVerdictWaitMs = 10000;

int Fail(playnet::LaunchedApp& lobby, bool reportConnect, const std::string& message) {
    std::fprintf(stderr, "zrtgame: %s\n", message.c_str());
    if (reportConnect) lobby.SendSystemMessage(playnet::kLobbySysConnectFailed);
    lobby.SendSystemMessage(playnet::kLobbySysAppTerminated);
    return 1;
}

void Record(const std::string& stem, const std::string& self,
            const std::optional<std::string>& winner, size_t players) {
    if (!winner) {
        std::printf("zrtgame: the players did not agree on a result; nothing is recorded\n");
        return;
    }
    const bool won = *winner == self;
    std::printf("zrtgame: %s wins; %s %s\n", winner->c_str(), self.c_str(), won ? "won" : "lost");
    if (!RecordMatch(".", stem, won, players))
        std::fprintf(stderr, "zrtgame: cannot write the result into %s.PRF\n", stem.c_str());
}

int PlayAsHost(playnet::LaunchedApp& lobby, const playnet::ConnectionSettings& settings,
               const std::string& self, const std::string& stem) {
    HostedSession session;
    std::string error;
    if (!session.Create(settings, self, error)) return Fail(lobby, true, error);
    lobby.SendSystemMessage(playnet::kLobbySysConnectSucceeded);
    std::printf("zrtgame: hosting \"%s\" for %u players\n",
                settings.session.name.value_or("").c_str(), settings.session.maxPlayers);
    std::fflush(stdout);
    std::vector<std::string> names =
        session.WaitForPlayers(settings.session.maxPlayers, kPlayersWaitMs);
    if (names.size() < 2) return Fail(lobby, false, "nobody joined the game session");
    const Roster roster = MakeRoster(settings.session.instance.ToString(), names);
    MatchMessage announce;
    announce.kind = MatchMessage::Kind::Roster;
    announce.roster = roster;
    session.SendToAll(announce.Encode());
    std::optional<std::string> winner = PlayMatch(session, roster, self, kRoundMs, kVerdictWaitMs);
    Record(stem, self, winner, roster.names.size());
    MatchMessage done;
    done.kind = MatchMessage::Kind::Done;
    session.SendToAll(done.Encode());
    // Members leave once they have the "done"; give it time to reach them.
    session.Receive(1000);
    session.Close();
    lobby.SendSystemMessage(playnet::kLobbySysAppTerminated);
    return 0;
}

int PlayAsMember(playnet::LaunchedApp& lobby, const playnet::ConnectionSettings& settings,
                 const std::string& self, const std::string& stem) {
    JoinedSession session;
    std::string error;
    if (!session.Join(settings, self, kJoinWaitMs, error)) return Fail(lobby, true, error);
    lobby.SendSystemMessage(playnet::kLobbySysConnectSucceeded);
    std::printf("zrtgame: joined the game session as %s\n", self.c_str());
    std::fflush(stdout);
    std::optional<Roster> roster = session.WaitForRoster(kRosterWaitMs);
    if (!roster) return Fail(lobby, false, "the host never started the match");
    std::optional<std::string> winner = PlayMatch(session, *roster, self, kRoundMs, kVerdictWaitMs);
    Record(stem, self, winner, roster->names.size());
    session.WaitForDone(kVerdictWaitMs);
    session.Close();
    lobby.SendSystemMessage(playnet::kLobbySysAppTerminated);
    return 0;
}

}  // namespace

int RunLaunched(playnet::LaunchedApp& lobby) {
    // The game outlives the lobby that started it, and with it perhaps the pipe its output
    // goes to: a write there must not end the game.
    std::signal(SIGPIPE, SIG_IGN);
    std::optional<playnet::ConnectionSettings> settings =
        lobby.GetConnectionSettings(kSettingsWaitMs);
    if (!settings) return Fail(lobby, false, "the lobby's connection settings could not be read");
    const std::string self = settings->playerShortName.value_or("");
    std::optional<LaunchProfile> profile = FindLaunchProfile(".", self);
    if (!profile)
        return Fail(lobby, true, "no profile with the lobby account \"" + self + "\" here");
    if (profile->continueSavedGame) {
        std::optional<std::filesystem::path> saved = SavedGameFile(".", *profile);
        if (!saved)
            return Fail(lobby, true,
                        "the saved game \"" + profile->savedGame + "\" is missing from save/" +
                            profile->record.saveFolder());
        std::printf("zrtgame: continuing %s\n", saved->c_str());
    }
    const std::string stem = profile->record.stem();
    if (settings->flags & playnet::kConnectCreateSession)
        return PlayAsHost(lobby, *settings, self, stem);
    return PlayAsMember(lobby, *settings, self, stem);
}

}  // namespace zrtgame
