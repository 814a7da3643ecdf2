// Opening the account store the configuration names: the data folder's SQLite database (the
// embedded default) or the PostgreSQL database of `[database] url`.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "server/account_store.h"
#include "server/data_dir.h"
#include "server/database.h"
#include "server/server_config.h"

namespace zrtserver {

struct OpenedStore {
    std::unique_ptr<Database> sqlite;     // the SQLite database behind `store`, if that is it
    std::unique_ptr<AccountStore> store;  // declared after: goes first
    std::string description;              // where it is and at which schema, for the log
};

std::optional<OpenedStore> openAccountStore(const ServerConfig& config, const DataDir& dir,
                                            std::string& error);

}  // namespace zrtserver
