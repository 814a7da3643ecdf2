// AccountTable: the `accounts` table. Every method takes the database lock for its own
// statements only, so slow work (password hashing, mail) happens outside it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"
#include "lobby/net/ladder_messages.h"
#include "server/database.h"

namespace zrtserver {

struct Account {
    int64_t id = 0;
    std::string loginName;
    std::string email;
    std::string passwordHash;
    zrt::AccountStats stats;
    uint8_t loginCounter = 0;
    uint8_t lobbyByte = 0;
    std::string lastGrantDay;  // YYYY-MM-DD (UTC) of the last gemstone grant, or empty
};

enum class InsertResult { Created, NameTaken, Failed };

class AccountTable {
  public:
    explicit AccountTable(Database& db) : db_(db) {}

    // Commits the new account; its id is stored into `account`.
    InsertResult insert(Account& account);
    std::optional<Account> find(const std::string& loginName);
    // Stores the figures of an accepted login (and the grant day when one was given).
    bool recordLogin(int64_t id, const zrt::AccountStats& stats, uint8_t loginCounter,
                     uint8_t lobbyByte, const std::string& grantDay);
    bool remove(int64_t id);
    // The best `limit` accounts by score, ties by login name.
    std::vector<zrt::LadderEntry> ladder(int limit);
    int64_t count();

  private:
    Database& db_;
};

}  // namespace zrtserver
