// AccountService: creating accounts and accepting logins, over the accounts table, the password
// hashes and the mailer. Called from the request workers; thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lobby/net/account_messages.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "server/account_table.h"
#include "server/mailer.h"
#include "server/server_config.h"

namespace zrtserver {

struct LoginResult {
    uint8_t status = zrt::kLoginUnknownName;
    uint8_t grant = 0;
    zrt::AccountStats stored;
    bool failed = false;  // a server fault: no reply is sent, the lobby reports a connection error
};

// At most 10 printable characters, none of them a space.
bool isValidLoginName(const std::string& name);

class AccountService {
  public:
    AccountService(AccountTable& table, Mailer& mailer, const ServerConfig& config)
        : table_(table), mailer_(mailer), config_(config) {}

    // The account is committed before the password is mailed, and removed again when the mail
    // cannot be delivered. `note` is a readable summary for the log (never the password).
    zrt::NewAccountOutcome createAccount(const zrt::NewAccountRequest& request, std::string& note);
    LoginResult login(const zrt::LoginRequest& request, std::string& note);
    std::vector<zrt::LadderEntry> ladder();

  private:
    AccountTable& table_;
    Mailer& mailer_;
    const ServerConfig& config_;
};

}  // namespace zrtserver
