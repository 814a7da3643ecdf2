// AccountService: creating accounts and accepting logins, over the account store, the password
// hashes, the mailer, the throttles and the record of sign-ins the halls rely on. Called from
// the request workers; thread-safe.
//
// No orphan accounts: a new account is stored pending, its mail written for good, and only
// then confirmed and acknowledged. An account whose mail did not go out is removed with its
// mail; one whose removal fails too (a full disk) stays pending, which no login, ladder or
// hall sees, and is removed again later: before the next creation and at every start.
//
// Throttles (token buckets, see AccountsConfig): failed logins per peer address and per
// account, new accounts per peer address and per e-mail address. The per-account throttle
// does not apply at the address of the account's last accepted login, so that guessing from
// elsewhere slows the guesser without locking the player out at home.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "lobby/net/account_messages.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "server/account_store.h"
#include "server/mailer.h"
#include "server/server_config.h"
#include "server/sign_ins.h"
#include "server/throttle.h"

namespace zrtserver {

struct LoginResult {
    uint8_t status = zrt::kLoginUnknownName;
    uint8_t grant = 0;
    zrt::AccountStats stored;
    bool throttled = false;  // no reply is sent: the lobby asks the player to try later
};

class AccountService {
  public:
    AccountService(AccountStore& store, Mailer& mailer, SignIns& signIns,
                   const ServerConfig& config);

    // Removes the pending accounts an earlier run left (and their mail). Call at start.
    void clearOrphans();
    // `address`: the peer address of the request. `note` is a readable summary for the log
    // (never the password).
    zrt::NewAccountOutcome createAccount(const zrt::NewAccountRequest& request,
                                         const std::string& address, std::string& note);
    LoginResult login(const zrt::LoginRequest& request, const std::string& address,
                      std::string& note);
    // False when the address has used up its failed logins: the request need not wait for a
    // worker at all.
    bool loginAllowedFrom(const std::string& address);
    std::vector<zrt::LadderEntry> ladder();

  private:
    // Removes the pending accounts no creation is working on. Takes flightMutex_.
    void purgeOrphans();
    // Takes a pending account out again; remembered for a later purge when that fails.
    void dropPending(int64_t id);
    zrt::NewAccountOutcome create(const zrt::NewAccountRequest& request, std::string& note);

    AccountStore& store_;
    Mailer& mailer_;
    SignIns& signIns_;
    const ServerConfig& config_;
    Throttle failuresByAddress_;
    Throttle failuresByAccount_;
    Throttle creationsByAddress_;
    Throttle creationsByEmail_;

    std::mutex flightMutex_;      // held from a pending insert until it is in inFlight_
    std::set<int64_t> inFlight_;  // pending accounts whose creation is running
    std::atomic<bool> orphansLeft_{false};
};

}  // namespace zrtserver
