// PgAccountStore: the accounts in a PostgreSQL database that several lobby hosts share. The
// same calls and the same rules as the SQLite store (names unique without case, pending
// accounts invisible, the ladder by score then name without case); its schema is brought up
// to date by the numbered migrations of pg_schema.cpp, one host at a time (an advisory lock).
#pragma once

#include <memory>

#include "server/account_store.h"
#include "server/pg_connection.h"

namespace zrtserver {

class PgAccountStore : public AccountStore {
  public:
    // Connects and migrates; ok() says whether it could.
    explicit PgAccountStore(const std::string& url);

    bool ok() const { return ok_; }
    const std::string& error() const { return db_.error(); }
    int schemaVersion();

    InsertResult insertPending(Account& account, const std::string& mailFile) override;
    bool confirm(int64_t id) override;
    std::vector<PendingAccount> pending() override;
    bool removePending(int64_t id) override;
    std::optional<Account> find(const std::string& loginName) override;
    bool recordLogin(int64_t id, const zrt::AccountStats& stats, uint8_t loginCounter,
                     uint8_t lobbyByte, const std::string& grantDay,
                     const std::string& address) override;
    std::vector<zrt::LadderEntry> ladder(int limit) override;
    int64_t count() override;
    std::vector<Account> list(const std::string& pattern, int limit) override;
    bool setBan(int64_t id, bool banned, const std::string& until,
                const std::string& reason) override;
    bool setPasswordHash(int64_t id, const std::string& hash) override;
    bool setStats(int64_t id, const zrt::AccountStats& stats) override;
    bool addAudit(const AuditEntry& entry) override;
    std::vector<AuditEntry> audit(int limit) override;

    // Copying from another store: a confirmed account with every field as it is (its id is
    // the new store's own).
    InsertResult importAccount(const Account& account);
    // Runs around a copy, so that it lands whole or not at all.
    bool begin() { return db_.exec("BEGIN").ok(); }
    bool commit() { return db_.exec("COMMIT").ok(); }

  private:
    bool migrate();

    PgConnection db_;
    bool ok_ = false;
};

// The numbered migrations of the PostgreSQL store; append only.
const std::vector<const char*>& pgMigrations();

}  // namespace zrtserver
