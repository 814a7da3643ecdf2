// Hall entries, their kinds and the order the hall screen shows them in.
#include "lobby/session/hall_list.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace zrt {

bool HallList::add(const HallEntry& hall) {
    if (entries_.size() >= kMaxHalls) return false;
    entries_.push_back(hall);
    return true;
}

HallEntry MakeHallEntry(const playnet::SessionDesc& session) {
    HallEntry hall;
    // The server player sits in every hall and is not one of the players shown. Counts beyond
    // what "%d" shows (a host's nonsense) show as the largest, never as negative numbers.
    auto shown = [](uint32_t n) { return static_cast<int>(std::min<uint32_t>(n, INT_MAX)); };
    const int players = session.currentPlayers > 0 ? shown(session.currentPlayers - 1) : 0;
    char text[kHallTextMax + 1];
    std::snprintf(text, sizeof text, "%s  ( %d / %d )", session.name.c_str(), players,
                  shown(session.maxPlayers));
    hall.text = text;
    hall.kind = session.user[0];
    hall.instance = session.instance;
    return hall;
}

const char* HallKindText(uint32_t kind) {
    switch (kind) {
        case kHallAmateur:
            return "For Amateur Players";
        case kHallIntermediate:
            return "For Intermediate Players";
        case kHallExpert:
            return "For Expert Players";
        case kHallGemstones:
            return "Battle Using Gemstones";
        default:
            return "Welcome for any players";
    }
}

std::vector<HallEntry> OrderHallsByKind(const std::vector<HallEntry>& halls) {
    std::vector<HallEntry> ordered = halls;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const HallEntry& a, const HallEntry& b) { return a.kind > b.kind; });
    return ordered;
}

bool SameHalls(const std::vector<HallEntry>& found, const std::vector<HallEntry>& shown) {
    if (found.size() != shown.size()) return false;
    return std::all_of(found.begin(), found.end(), [&](const HallEntry& f) {
        return std::any_of(shown.begin(), shown.end(),
                           [&](const HallEntry& s) { return s.instance == f.instance; });
    });
}

}  // namespace zrt
