// zrtgame started on its own (the launcher's training button): a short training match against
// two computer opponents, played with the rules of a group's match and printed round by round.
// It needs no lobby, ends by itself and touches no file.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "game/commands.h"
#include "game/match.h"

namespace zrtgame {
namespace {

constexpr int kTrainingRoundMs = 400;
constexpr const char* kTrainee = "You";

}  // namespace

int RunTraining() {
    // Whoever started us may be gone with the pipe our report goes to: that must not end the match.
    std::signal(SIGPIPE, SIG_IGN);
    // Every training differs: the roster's seed comes from the start time.
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    const Roster roster =
        MakeRoster("training " + std::to_string(now), {kTrainee, "Tollvane", "Ustrid"});
    std::printf("zrtgame: training match against Tollvane and Ustrid, %d rounds\n", kRounds);
    for (int round = 0; round < kRounds; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kTrainingRoundMs));
        std::printf("round %d:", round + 1);
        for (const std::string& name : roster.names)
            std::printf(" %s %u", name.c_str(), Strength(roster, name, round));
        std::printf("\n");
        std::fflush(stdout);
    }
    const std::string winner = Winner(roster);
    std::printf("zrtgame: training over, %s\n",
                winner == kTrainee ? "you win" : (winner + " wins").c_str());
    return 0;
}

}  // namespace zrtgame
