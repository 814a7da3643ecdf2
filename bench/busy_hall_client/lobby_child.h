// The two measured programs of the busy-hall bench, each run as a child process of the bench
// so that its CPU time and memory are its own: the real lobby signed in and sitting in a hall,
// and a bare Qt window of the same size. Each prints "ready <width> <height>" once it is up,
// runs until its standard input ends, then saves a screenshot and exits.
#pragma once

namespace busyhall {

// --client GAMEDIR PASSWORD HALL: start-up, sign-in and the hall, as a user would.
int runLobbyClient(int argc, char** argv);
// --bare WIDTH HEIGHT
int runBareWindow(int argc, char** argv);

}  // namespace busyhall
