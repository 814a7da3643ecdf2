// Process-wide state of the lobby client that outlives the windows: the server host text, the
// own address, the news text and the banner picture fetched at start-up.
#pragma once

#include <string>
#include <vector>

#include "lobby/data/saved_games.h"

namespace zrt {

struct ProcessState {
    // The host every exchange goes to: first the version server from LobbyRes/Server.txt, then
    // the database server the version reply names. Written on the UI thread (and by the
    // resource loader before any exchange); workers copy it when they start.
    std::string serverAddress;
    // Dotted IPv4 address of this machine, announced in the halls.
    std::string localAddress;
    // News text from the database server's version reply (shown once at start-up).
    std::string news;
    // The banner picture (GIF bytes) fetched at start-up; empty when there is none.
    std::vector<unsigned char> banner;
    // The signed-in player's saved games, listed when the login window hands over.
    SavedGameTable savedGames;
};

ProcessState& Process();

}  // namespace zrt
