// The headless match a launched group plays: a few rounds in which every player's army
// strength follows from the session's instance id, the roster and the round, so that every
// game computes the same result. Each player announces its strengths and its verdict to the
// others through the game session; a result counts only when every player sent exactly what
// the others computed, and the same winner.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrtgame {

inline constexpr int kRounds = 3;

// Who plays, in name order, and the seed every strength derives from.
struct Roster {
    uint32_t seed = 0;
    std::vector<std::string> names;
};

// The roster of a session: names sorted, the seed from the instance id text and the names.
Roster MakeRoster(const std::string& instance, std::vector<std::string> names);

// A player's army strength in a round (1..100).
uint32_t Strength(const Roster& roster, const std::string& name, int round);

// The player with the largest total strength; the first in name order on a tie.
std::string Winner(const Roster& roster);

// The match's messages in the game session: the host's roster, each player's strength per
// round, each player's verdict, and the host's "done" once everybody's verdict is in.
struct MatchMessage {
    enum class Kind : uint8_t { Roster = 1, Strength = 2, Verdict = 3, Done = 4 };
    Kind kind = Kind::Roster;
    Roster roster;          // Roster
    std::string player;     // Strength, Verdict: who sends it
    int round = 0;          // Strength
    uint32_t strength = 0;  // Strength
    std::string winner;     // Verdict

    std::vector<uint8_t> Encode() const;
    // Nothing when the bytes are short or of an unknown kind.
    static std::optional<MatchMessage> Decode(const uint8_t* data, size_t size);
};

// The session as the match sees it: broadcast to every other player, receive the next message
// of any player.
class MatchLink {
  public:
    virtual ~MatchLink() = default;
    virtual bool SendToAll(const std::vector<uint8_t>& message) = 0;
    // The next message, waiting up to timeoutMs; nothing on time-out or when the session ended.
    virtual std::optional<std::vector<uint8_t>> Receive(int timeoutMs) = 0;
};

// Plays the match as `self`: strengths round by round (roundMs apart), then the verdict; the
// winner when every player agreed, nothing otherwise (a missing, late or differing player).
std::optional<std::string> PlayMatch(MatchLink& link, const Roster& roster, const std::string& self,
                                     int roundMs, int waitMs);

}  // namespace zrtgame
