// AccountTable: the `accounts` table of the server's SQLite database, as the AccountStore.
// Every method takes the database lock for its own statements only, so slow work (password
// hashing, mail) happens outside it.
#pragma once

#include "server/account_store.h"
#include "server/database.h"

namespace zrtserver {

class AccountTable : public AccountStore {
  public:
    explicit AccountTable(Database& db) : db_(db) {}

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

  private:
    Database& db_;
};

}  // namespace zrtserver
