// Copying a SQLite store into PostgreSQL.
#include "server/migrate_store.h"

#include <climits>
#include <cstdio>
#include <filesystem>

#include "server/account_table.h"
#include "server/control_socket.h"
#include "server/data_dir.h"
#include "server/pg_store.h"
#include "server/server_config.h"

namespace zrtserver {

namespace {
int fail(const std::string& why) {
    std::fprintf(stderr, "migrate-store: %s\n", why.c_str());
    return 1;
}
}  // namespace

int migrateStore(const std::string& dataDir) {
    DataDir dir{dataDir};
    std::string error;
    auto config = loadConfig(dir.configPath(), error);
    if (!config) return fail(dir.configPath() + ": " + error);
    if (config->database.url.empty())
        return fail("set [database] url in " + dir.configPath() + " to the PostgreSQL store first");
    if (controlSocketAnswers(dir.controlPath()))
        return fail("stop the server first (it answers on " + dir.controlPath() + ")");
    if (!std::filesystem::exists(dir.databasePath()))
        return fail("no SQLite store at " + dir.databasePath());
    Database sqlite(dir.databasePath());
    if (!sqlite.ok()) return fail(dir.databasePath() + ": " + sqlite.error());
    AccountTable from(sqlite);
    PgAccountStore to(config->database.url);
    if (!to.ok()) return fail("PostgreSQL: " + to.error());
    if (to.count() != 0) return fail("the PostgreSQL store holds accounts already; nothing copied");

    std::vector<Account> accounts = from.list("*", INT_MAX);
    std::vector<AuditEntry> audit = from.audit(INT_MAX);
    if (!to.begin()) return fail("PostgreSQL: " + to.error());
    for (const Account& a : accounts)
        if (to.importAccount(a) != InsertResult::Created)
            return fail("account " + a.loginName + " not copied: " + to.error());
    for (auto it = audit.rbegin(); it != audit.rend(); ++it)
        if (!to.addAudit(*it)) return fail("audit not copied: " + to.error());
    if (!to.commit()) return fail("PostgreSQL: " + to.error());
    std::printf("copied %zu accounts and %zu audit entries from %s\n", accounts.size(),
                audit.size(), dir.databasePath().c_str());
    return 0;
}

}  // namespace zrtserver
