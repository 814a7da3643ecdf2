// Choosing and opening the account store.
#include "server/store_factory.h"

#include "server/account_table.h"

namespace zrtserver {

std::optional<OpenedStore> openAccountStore(const ServerConfig&, const DataDir& dir,
                                            std::string& error) {
    OpenedStore opened;
    opened.sqlite = std::make_unique<Database>(dir.databasePath());
    if (!opened.sqlite->ok()) {
        error = dir.databasePath() + ": " + opened.sqlite->error();
        return std::nullopt;
    }
    opened.store = std::make_unique<AccountTable>(*opened.sqlite);
    opened.description = "database " + dir.databasePath() + " at schema " +
                         std::to_string(opened.sqlite->schemaVersion());
    return opened;
}

}  // namespace zrtserver
