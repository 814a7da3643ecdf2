// Opening the database, statement helpers and the migration runner.
#include "server/database.h"

#include <sqlite3.h>

#include "server/schema.h"

namespace zrtserver {

Statement::Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
}

Statement::~Statement() {
    if (stmt_) sqlite3_finalize(stmt_);
}

void Statement::bind(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
}

void Statement::bind(int index, const std::string& value) {
    if (stmt_)
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
}

void Statement::bindNull(int index) {
    if (stmt_) sqlite3_bind_null(stmt_, index);
}

bool Statement::step() {
    if (!stmt_) return false;
    rc_ = sqlite3_step(stmt_);
    return rc_ == SQLITE_ROW;
}

bool Statement::run() {
    if (!stmt_) return false;
    do {
        rc_ = sqlite3_step(stmt_);
    } while (rc_ == SQLITE_ROW);
    return rc_ == SQLITE_DONE;
}

int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
    const unsigned char* t = sqlite3_column_text(stmt_, column);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Database::Database(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        error_ = db_ ? sqlite3_errmsg(db_) : "cannot open";
        if (db_) sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(db_, 5000);
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=FULL") ||
        !exec("PRAGMA foreign_keys=ON") || !migrate()) {
        if (error_.empty()) error_ = sqlite3_errmsg(db_);
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

Database::~Database() {
    if (db_) sqlite3_close(db_);
}

bool Database::exec(const char* sql) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        error_ = msg ? msg : "sqlite error";
        sqlite3_free(msg);
        return false;
    }
    return true;
}

int Database::schemaVersion() {
    Statement s(db_, "PRAGMA user_version");
    return s.step() ? static_cast<int>(s.integer(0)) : -1;
}

// Each migration runs in its own transaction together with the version bump, so a crash
// leaves the schema at a whole version.
bool Database::migrate() {
    int version = schemaVersion();
    if (version < 0) return false;
    const auto& steps = migrations();
    if (version > static_cast<int>(steps.size())) {
        error_ = "database schema " + std::to_string(version) + " is newer than this server";
        return false;
    }
    for (size_t i = static_cast<size_t>(version); i < steps.size(); ++i) {
        std::string sql = "BEGIN IMMEDIATE;\n" + std::string(steps[i]) +
                          "\nPRAGMA user_version = " + std::to_string(i + 1) + ";\nCOMMIT;";
        if (!exec(sql.c_str())) {
            exec("ROLLBACK");
            return false;
        }
    }
    return true;
}

}  // namespace zrtserver
