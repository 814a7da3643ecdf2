// One hall's traffic, as its players make it: hall chat lines at a given rate (in the soak, one
// per player per minute) from players drawn at random; every few seconds a group forms (its host
// asks for an id and creates it, two players join, a third is invited and accepts, the host
// launches, and after the game's start everyone leaves the group, which removes it); and every few
// seconds a player leaves the hall and comes back a little later. The driver calls tick() often; it
// does whatever is due.
#pragma once

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "bench/hall_fanout/hall_bots.h"
#include "bench/hall_fanout/tally.h"

namespace soak {

using fanout::Clock;

struct TrafficCounts {
    uint64_t lines = 0;
    uint64_t groups = 0;
    uint64_t launches = 0;
    uint64_t invites = 0;
    uint64_t leaves = 0;
    uint64_t returns = 0;
    uint64_t abandoned = 0;  // groups whose id never came (within 5 s)
};

struct TrafficRates {
    double linesPerSecond = 1;
    Clock::duration groupEvery = std::chrono::seconds(2);  // a new group forms
    Clock::duration leaveEvery = std::chrono::seconds(3);  // a player leaves (back 5 s later)
};

class HallTraffic {
  public:
    // `bots` holds the hall's `players` bots at indexes 0..players-1; `step` marks its lines.
    HallTraffic(fanout::HallBots& bots, int players, int step, uint32_t seed, TrafficRates rates,
                Clock::time_point now);

    void tick(Clock::time_point now);
    const TrafficCounts& counts() const { return counts_; }

  private:
    struct Player {
        int bot = 0;        // the bot's index in the HallBots (a new one after each return)
        bool busy = false;  // in a forming group, or away
        bool away = false;
        Clock::time_point returnAt;
    };
    struct Forming {
        std::vector<int> members;  // players' slots, the host first
        int stage = 0;
        uint32_t grantedBefore = 0;
        uint32_t groupId = 0;
        Clock::time_point due;
        Clock::time_point asked;
    };

    void chat();
    // A present player in no group and not away, marked busy; -1 when none turned up.
    int takeFree();
    // Carries a forming group one stage on; false when it is done.
    bool advance(Forming& g, Clock::time_point now);
    void leaveOrReturn(Clock::time_point now);
    uint32_t id(int slot) const;

    fanout::HallBots& bots_;
    std::vector<Player> players_;
    std::vector<Forming> forming_;
    std::vector<int> away_;  // slots of the players away, in order of return
    int step_;
    std::mt19937 random_;
    Clock::duration lineEvery_;
    TrafficRates rates_;
    Clock::time_point nextLine_, nextGroup_, nextLeave_;
    TrafficCounts counts_;
};

}  // namespace soak
