// The match's rules and its messages.
#include "game/match.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "playnet/bytes.h"
#include "playnet/wire_fields.h"

namespace zrtgame {
namespace {

uint32_t Fnv1a(uint32_t h, const std::string& text) {
    for (unsigned char c : text) h = (h ^ c) * 16777619u;
    return h;
}

}  // namespace

Roster MakeRoster(const std::string& instance, std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    uint32_t seed = Fnv1a(2166136261u, instance);
    for (const std::string& n : names) seed = Fnv1a(seed, "|" + n);
    return {seed, std::move(names)};
}

uint32_t Strength(const Roster& roster, const std::string& name, int round) {
    uint32_t h = Fnv1a(roster.seed, name + "#" + std::to_string(round));
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return 1 + h % 100;
}

std::string Winner(const Roster& roster) {
    std::string best;
    uint32_t bestTotal = 0;
    for (const std::string& n : roster.names) {
        uint32_t total = 0;
        for (int r = 0; r < kRounds; ++r) total += Strength(roster, n, r);
        if (best.empty() || total > bestTotal) {
            best = n;
            bestTotal = total;
        }
    }
    return best;
}

std::vector<uint8_t> MatchMessage::Encode() const {
    playnet::ByteWriter w;
    w.u8(static_cast<uint8_t>(kind));
    switch (kind) {
        case Kind::Roster:
            w.u32(roster.seed);
            w.u8(static_cast<uint8_t>(std::min<size_t>(roster.names.size(), 255)));
            for (size_t i = 0; i < roster.names.size() && i < 255; ++i)
                playnet::WriteText8(w, roster.names[i]);
            break;
        case Kind::Strength:
            playnet::WriteText8(w, player);
            w.u8(static_cast<uint8_t>(round));
            w.u32(strength);
            break;
        case Kind::Verdict:
            playnet::WriteText8(w, player);
            playnet::WriteText8(w, winner);
            break;
        case Kind::Done:
            break;
    }
    return w.take();
}

std::optional<MatchMessage> MatchMessage::Decode(const uint8_t* data, size_t size) {
    playnet::ByteReader r(data, size);
    MatchMessage m;
    const uint8_t kind = r.u8();
    switch (kind) {
        case static_cast<uint8_t>(Kind::Roster): {
            m.kind = Kind::Roster;
            m.roster.seed = r.u32();
            const size_t n = r.u8();
            for (size_t i = 0; i < n && r.ok(); ++i)
                m.roster.names.push_back(playnet::ReadText8(r));
            break;
        }
        case static_cast<uint8_t>(Kind::Strength):
            m.kind = Kind::Strength;
            m.player = playnet::ReadText8(r);
            m.round = r.u8();
            m.strength = r.u32();
            break;
        case static_cast<uint8_t>(Kind::Verdict):
            m.kind = Kind::Verdict;
            m.player = playnet::ReadText8(r);
            m.winner = playnet::ReadText8(r);
            break;
        case static_cast<uint8_t>(Kind::Done):
            m.kind = Kind::Done;
            break;
        default:
            return std::nullopt;
    }
    if (!r.ok()) return std::nullopt;
    return m;
}

std::optional<std::string> PlayMatch(MatchLink& link, const Roster& roster, const std::string& self,
                                     int roundMs, int waitMs) {
    using Clock = std::chrono::steady_clock;
    // What each other player sent: their strengths by round, and their verdict.
    std::map<std::string, std::map<int, uint32_t>> strengths;
    std::map<std::string, std::string> verdicts;
    bool cheated = false;
    auto take = [&](const std::vector<uint8_t>& bytes) {
        std::optional<MatchMessage> m = MatchMessage::Decode(bytes.data(), bytes.size());
        if (!m) return;
        const bool known =
            std::find(roster.names.begin(), roster.names.end(), m->player) != roster.names.end();
        if (m->kind == MatchMessage::Kind::Strength && known && m->round >= 0 &&
            m->round < kRounds) {
            strengths[m->player][m->round] = m->strength;
            if (m->strength != Strength(roster, m->player, m->round)) cheated = true;
        } else if (m->kind == MatchMessage::Kind::Verdict && known) {
            verdicts[m->player] = m->winner;
        }
    };
    auto drainFor = [&](int ms) {
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return;
            if (std::optional<std::vector<uint8_t>> bytes = link.Receive(static_cast<int>(left)))
                take(*bytes);
        }
    };

    for (int round = 0; round < kRounds; ++round) {
        MatchMessage s;
        s.kind = MatchMessage::Kind::Strength;
        s.player = self;
        s.round = round;
        s.strength = Strength(roster, self, round);
        link.SendToAll(s.Encode());
        drainFor(roundMs);
    }
    const std::string winner = Winner(roster);
    MatchMessage verdict;
    verdict.kind = MatchMessage::Kind::Verdict;
    verdict.player = self;
    verdict.winner = winner;
    link.SendToAll(verdict.Encode());

    if (roster.names.size() < 2) return std::nullopt;
    const size_t others = roster.names.size() - 1;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    while (verdicts.size() < others && Clock::now() < deadline) drainFor(100);
    if (cheated || verdicts.size() < others) return std::nullopt;
    for (const std::string& n : roster.names) {
        if (n == self) continue;
        if (strengths[n].size() != static_cast<size_t>(kRounds) || verdicts[n] != winner)
            return std::nullopt;
    }
    return winner;
}

}  // namespace zrtgame
