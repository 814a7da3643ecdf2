// Choosing and opening the account store.
#include "server/store_factory.h"

#include "server/account_table.h"
#include "server/pg_store.h"

namespace zrtserver {

namespace {
// The URL without its password, for the log.
std::string withoutPassword(const std::string& url) {
    size_t scheme = url.find("://"), at = url.find('@');
    if (scheme == std::string::npos || at == std::string::npos || at < scheme) return url;
    size_t colon = url.find(':', scheme + 3);
    if (colon == std::string::npos || colon > at) return url;
    return url.substr(0, colon) + ":***" + url.substr(at);
}
}  // namespace

std::optional<OpenedStore> openAccountStore(const ServerConfig& config, const DataDir& dir,
                                            std::string& error) {
    OpenedStore opened;
    if (!config.database.url.empty()) {
        auto pg = std::make_unique<PgAccountStore>(config.database.url);
        std::string where = "PostgreSQL " + withoutPassword(config.database.url);
        if (!pg->ok()) {
            error = where + ": " + pg->error();
            return std::nullopt;
        }
        opened.description = where + " at schema " + std::to_string(pg->schemaVersion());
        opened.store = std::move(pg);
        return opened;
    }
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
