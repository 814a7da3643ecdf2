// The nations (rows 0-11, human) and races (rows 12-18) with their portrait files.
#include "lobby/data/nation_table.h"

namespace zrt {

const std::array<NationRow, kNationCount> kNationTable = {{
    {"Norman", "LobbyRes/human01.bmp"},  {"Viking", "LobbyRes/human02.bmp"},
    {"Celt", "LobbyRes/human03.bmp"},    {"Roman", "LobbyRes/human04.bmp"},
    {"Greek", "LobbyRes/human05.bmp"},   {"Carthaginian", "LobbyRes/human06.bmp"},
    {"Chinese", "LobbyRes/human07.bmp"}, {"Japanese", "LobbyRes/human08.bmp"},
    {"Mongol", "LobbyRes/human09.bmp"},  {"Egyptian", "LobbyRes/human10.bmp"},
    {"Persian", "LobbyRes/human11.bmp"}, {"Indian", "LobbyRes/human12.bmp"},
    {"Tollvane", "LobbyRes/fiend1.bmp"}, {"Ustrid", "LobbyRes/fiend2.bmp"},
    {"Phyloth", "LobbyRes/fiend3.bmp"},  {"Drezzak", "LobbyRes/fiend4.bmp"},
    {"Ilvarne", "LobbyRes/fiend5.bmp"},  {"Quorrim", "LobbyRes/fiend6.bmp"},
    {"Wendrak", "LobbyRes/fiend7.bmp"},
}};

const NationRow* Nation(int index) {
    if (index < 0 || index >= static_cast<int>(kNationCount)) return nullptr;
    return &kNationTable[static_cast<size_t>(index)];
}

}  // namespace zrt
