// One hall's traffic: chat lines, groups forming and launching, players leaving and returning.
#include "bench/hall_soak/hall_traffic.h"

#include <algorithm>
#include <string>

#include "lobby/session/lobby_messages.h"

namespace soak {

namespace {

constexpr auto kAwayFor = std::chrono::seconds(5);
constexpr auto kGrantLimit = std::chrono::seconds(5);
constexpr int kTries = 20;  // random draws for a free player

// The pause before each stage of a forming group: ask, create, join, join, invite, launch,
// leave.
constexpr std::chrono::milliseconds kStagePause[] = {
    std::chrono::milliseconds(0),    std::chrono::milliseconds(500),
    std::chrono::milliseconds(1000), std::chrono::milliseconds(1000),
    std::chrono::milliseconds(1000), std::chrono::milliseconds(3000),
    std::chrono::milliseconds(6000)};

}  // namespace

HallTraffic::HallTraffic(fanout::HallBots& bots, int players, int step, uint32_t seed,
                         TrafficRates rates, Clock::time_point now)
    : bots_(bots),
      players_(static_cast<size_t>(players)),
      step_(step),
      random_(seed),
      rates_(rates) {
    for (int i = 0; i < players; ++i) players_[static_cast<size_t>(i)].bot = i;
    lineEvery_ = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / rates.linesPerSecond));
    // Halls start out of step with each other.
    auto offset = [&](Clock::duration d) {
        return now + d * static_cast<int>(random_() % 1000) / 1000;
    };
    nextLine_ = offset(lineEvery_);
    nextGroup_ = offset(rates.groupEvery);
    nextLeave_ = offset(rates.leaveEvery);
}

uint32_t HallTraffic::id(int slot) const {
    return bots_.playerId(players_[static_cast<size_t>(slot)].bot);
}

void HallTraffic::tick(Clock::time_point now) {
    for (; nextLine_ <= now; nextLine_ += lineEvery_) chat();
    if (nextGroup_ <= now) {
        nextGroup_ += rates_.groupEvery;
        int host = takeFree();
        if (host >= 0) forming_.push_back(Forming{{host}, 0, 0, 0, now, now});
    }
    forming_.erase(std::remove_if(forming_.begin(), forming_.end(),
                                  [&](Forming& g) { return g.due <= now && !advance(g, now); }),
                   forming_.end());
    leaveOrReturn(now);
}

void HallTraffic::chat() {
    auto slot = random_() % players_.size();
    const Player& p = players_[slot];
    if (p.away || !bots_.present(p.bot)) return;
    bots_.say(p.bot, fanout::lineText(step_, fanout::nowNs()));
    counts_.lines++;
}

int HallTraffic::takeFree() {
    for (int t = 0; t < kTries; ++t) {
        auto slot = random_() % players_.size();
        Player& p = players_[slot];
        if (p.busy || !bots_.present(p.bot)) continue;
        p.busy = true;
        return static_cast<int>(slot);
    }
    return -1;
}

bool HallTraffic::advance(Forming& g, Clock::time_point now) {
    int host = g.members.front();
    int hostBot = players_[static_cast<size_t>(host)].bot;
    bool done = false;
    switch (g.stage) {
        case 0:  // the host asks for a group id
            g.grantedBefore = bots_.grantedGroup(hostBot);
            g.asked = now;
            bots_.send(hostBot, zrt::encodeGroupIdRequest(), true);
            break;
        case 1: {  // and creates the group once it has one
            uint32_t granted = bots_.grantedGroup(hostBot);
            if (granted == g.grantedBefore) {
                if (now - g.asked > kGrantLimit) {
                    counts_.abandoned++;
                    done = true;
                    break;
                }
                g.due = now + std::chrono::milliseconds(100);
                return true;
            }
            g.groupId = granted;
            zrt::GroupCreatedMessage created;
            created.groupId = granted;
            created.creator = id(host);
            created.capacity = 4;
            created.title = "Soak game " + std::to_string(granted);
            bots_.send(hostBot, zrt::encodeGroupCreated(created), true);
            counts_.groups++;
            break;
        }
        case 2:
        case 3: {  // two players join
            int member = takeFree();
            if (member < 0) break;
            g.members.push_back(member);
            bots_.send(players_[static_cast<size_t>(member)].bot,
                       zrt::encodeGroupJoin({id(member), g.groupId}), true);
            break;
        }
        case 4: {  // a third is invited (a bot accepts and joins)
            int member = takeFree();
            if (member < 0) break;
            g.members.push_back(member);
            bots_.send(hostBot, zrt::encodeInvite({id(host), id(member), g.groupId}), true);
            counts_.invites++;
            break;
        }
        case 5:  // the host launches
            bots_.send(hostBot, zrt::encodeLaunch({g.groupId, "127.0.0.1"}), true);
            counts_.launches++;
            break;
        default:  // the game has started: everyone leaves the group
            for (int slot : g.members) {
                bots_.send(players_[static_cast<size_t>(slot)].bot,
                           zrt::encodeGroupLeave({id(slot), g.groupId}), false);
            }
            done = true;
    }
    if (done) {
        for (int slot : g.members) players_[static_cast<size_t>(slot)].busy = false;
        return false;
    }
    g.stage++;
    g.due = now +
            kStagePause[std::min<size_t>(static_cast<size_t>(g.stage), std::size(kStagePause) - 1)];
    return true;
}

void HallTraffic::leaveOrReturn(Clock::time_point now) {
    // The away list is in order of return.
    while (!away_.empty() && players_[static_cast<size_t>(away_.front())].returnAt <= now) {
        Player& p = players_[static_cast<size_t>(away_.front())];
        int fresh = bots_.rejoin(p.bot);
        if (fresh < 0) break;  // tried again on the next tick
        p.bot = fresh;
        p.away = false;
        p.busy = false;
        away_.erase(away_.begin());
        counts_.returns++;
    }
    if (nextLeave_ > now) return;
    nextLeave_ += rates_.leaveEvery;
    int slot = takeFree();
    if (slot < 0) return;
    Player& p = players_[static_cast<size_t>(slot)];
    bots_.leave(p.bot);
    p.away = true;
    p.returnAt = now + kAwayFor;
    away_.push_back(slot);
    counts_.leaves++;
}

}  // namespace soak
