// The rules of login names, what an accepted login may change, and what it earns.
//
// Plausibility: the figures a client sends come from its profile file, which the game updates
// after every match. They are accepted unless
//   - the games recorded (won + lost + quit) fall below the stored ones: the game's count of
//     games played never shrinks, and the lobby derives won, lost and quit from it so that
//     their sum always equals it;
//   - the date is not a calendar date (month 1..12, day 1..31).
// Score and gemstones move both ways in normal play (gemstone halls spend gemstones), so they
// are not judged.
#pragma once

#include <cstdint>
#include <string>

#include "lobby/net/account_stats.h"
#include "server/server_config.h"

namespace zrtserver {

// A login name (and so a lobby name in the halls): 1 to 10 printable ASCII characters, none
// of them a space.
bool isValidLoginName(const std::string& name);
// ASCII lower case: names are unique regardless of case.
std::string lowerCase(const std::string& text);

bool plausibleLogin(const zrt::AccountStats& stored, const zrt::AccountStats& sent);

// The grant for this login: the configured value, once per day under the daily policy.
uint8_t grantFor(const GemstoneConfig& config, const std::string& lastGrantDay,
                 const std::string& today);

// Today's date in UTC as YYYY-MM-DD.
std::string utcDay();
// Now in UTC as YYYY-MM-DDTHH:MM:SSZ, the form the account store keeps times in.
std::string utcNow();

}  // namespace zrtserver
