// The lobby's requests to a zrtserver as a test makes them: one exchange, account creation,
// login, the ladder and the banner record; the mails in the server's outbox; and signing a test
// player in the way the lobby does before it enters a hall (the halls take a name only after a
// login from the same address). Plain C++, for the server and window tests and the benchmarks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"

namespace zrttest {

// One exchange; the result convention of ServerExchange, the reply in `reply`.
int exchange(const std::string& host, int port, const std::vector<uint8_t>& request, int prefix,
             std::vector<uint8_t>* reply = nullptr);

// A new account's outcome code, or nothing when the exchange failed.
std::optional<uint8_t> createAccount(const std::string& host, const std::string& name,
                                     const std::string& email);
std::optional<zrt::LoginReply> login(const std::string& host, const std::string& name,
                                     const zrt::AccountStats& stats, const std::string& password,
                                     int* replyBytes = nullptr);
std::vector<zrt::LadderEntry> ladder(const std::string& host);
// nullopt: no reply; a record with an empty picture URL: the prefix alone.
std::optional<zrt::BannerRecord> banner(const std::string& host);

// The mails in the outbox of the server data folder `dataDir`.
int outboxCount(const std::string& dataDir);
// The password mailed for `name` (compared without case).
std::optional<std::string> mailedPassword(const std::string& dataDir, const std::string& name);

// Creates `name` on the server at `host` when the outbox holds no mail for it, then logs it in
// with the mailed password and the figures the server holds for it. True once accepted.
bool signIn(const std::string& host, const std::string& dataDir, const std::string& name);

}  // namespace zrttest
