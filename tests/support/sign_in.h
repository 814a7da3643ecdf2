// Signing a test player in the way the lobby does before it enters a hall: the account is
// created when it has no mail yet, its password read from the server's outbox, and a login
// sent from this machine. The halls take a name only after such a login from the same address.
// Plain C++, for the window tests, the server tests and the benchmarks alike.
#pragma once

#include <optional>
#include <string>

namespace zrttest {

// The password mailed for `name` (compared without case), read from the outbox of the server
// data folder `dataDir`.
std::optional<std::string> mailedPassword(const std::string& dataDir, const std::string& name);

// Creates `name` on the server at `host` when the outbox holds no mail for it, then logs it in
// with the mailed password and the figures the server holds for it. True once accepted.
bool signIn(const std::string& host, const std::string& dataDir, const std::string& name);

}  // namespace zrttest
