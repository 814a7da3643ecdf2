// `zrtserver migrate-store --data DIR`: copies the data folder's SQLite accounts (confirmed
// ones, with their figures, password hashes and bans) and its audit into the empty PostgreSQL
// store that `[database] url` names, in one transaction. The server must be stopped.
#pragma once

#include <string>

namespace zrtserver {

// The process's exit status: 0 copied, 1 not (the reason on stderr).
int migrateStore(const std::string& dataDir);

}  // namespace zrtserver
