// AccountStore: where the accounts live, as the account service sees it. AccountTable keeps
// them in the server's SQLite database; another store (a database shared by several lobby
// hosts) implements the same calls.
//
// A new account is first stored pending, naming the outbox file of its password mail; it
// counts (it can log in, it is on the ladder) only once confirmed, after its mail was written
// for good. A pending account whose creation did not finish is an orphan: removePending takes
// it out, and the account service clears every orphan at start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"
#include "lobby/net/ladder_messages.h"

namespace zrtserver {

struct Account {
    int64_t id = 0;
    std::string loginName;
    std::string email;
    std::string passwordHash;
    zrt::AccountStats stats;
    uint8_t loginCounter = 0;
    uint8_t lobbyByte = 0;
    std::string lastGrantDay;      // YYYY-MM-DD (UTC) of the last gemstone grant, or empty
    std::string lastLoginAddress;  // the peer address of the last accepted login, or empty
    std::string createdAt;         // YYYY-MM-DDTHH:MM:SSZ, as every time the store keeps
    std::string lastLoginAt;       // or empty
    bool banned = false;           // an operator banned it ...
    std::string bannedUntil;       // ... until then (empty: until unbanned)
    std::string banReason;
};

// One operator action, kept in the store's audit table.
struct AuditEntry {
    std::string at;      // YYYY-MM-DDTHH:MM:SSZ; empty: the store sets now
    std::string actor;   // the local user who asked
    std::string host;    // the server (or the command line) that carried it out
    std::string action;  // the command with its arguments
    std::string outcome;
};

// A created account whose mail is not yet confirmed.
struct PendingAccount {
    int64_t id = 0;
    std::string loginName;
    std::string mailFile;  // the outbox file its mail goes to
};

enum class InsertResult { Created, NameTaken, Failed };

class AccountStore {
  public:
    virtual ~AccountStore() = default;

    // Stores the account pending (its id is set into `account`); committed when Created.
    virtual InsertResult insertPending(Account& account, const std::string& mailFile) = 0;
    // The account counts from now on.
    virtual bool confirm(int64_t id) = 0;
    virtual std::vector<PendingAccount> pending() = 0;
    // Removes an account that is still pending; true when it is gone.
    virtual bool removePending(int64_t id) = 0;

    // A confirmed account by name, compared without case.
    virtual std::optional<Account> find(const std::string& loginName) = 0;
    // Stores the figures of an accepted login, its address, and the grant day when one was
    // given.
    virtual bool recordLogin(int64_t id, const zrt::AccountStats& stats, uint8_t loginCounter,
                             uint8_t lobbyByte, const std::string& grantDay,
                             const std::string& address) = 0;
    // The best `limit` confirmed accounts by score, ties by login name.
    virtual std::vector<zrt::LadderEntry> ladder(int limit) = 0;
    // Confirmed accounts; -1 when the store cannot tell.
    virtual int64_t count() = 0;

    // Operator work. Confirmed accounts whose name matches `pattern` (`*` any text, `?` one
    // character, without case), by name, at most `limit`.
    virtual std::vector<Account> list(const std::string& pattern, int limit) = 0;
    // Sets or lifts a ban; `until` empty: until lifted.
    virtual bool setBan(int64_t id, bool banned, const std::string& until,
                        const std::string& reason) = 0;
    virtual bool setPasswordHash(int64_t id, const std::string& hash) = 0;
    virtual bool setStats(int64_t id, const zrt::AccountStats& stats) = 0;
    virtual bool addAudit(const AuditEntry& entry) = 0;
    // The newest `limit` entries, newest first.
    virtual std::vector<AuditEntry> audit(int limit) = 0;
};

// A ban is in force while it has no end or its end (YYYY-MM-DDTHH:MM:SSZ) is later than `now`
// (the same form).
inline bool banInForce(const Account& a, const std::string& now) {
    return a.banned && (a.bannedUntil.empty() || a.bannedUntil > now);
}

// A `*`/`?` pattern as a LIKE pattern with `\` as its escape character.
std::string likePattern(const std::string& pattern);

}  // namespace zrtserver
