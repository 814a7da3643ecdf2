// The server's SQLite database: one connection guarded by a mutex, opened in WAL mode with full
// synchronisation (an account confirmed to a client is on disk), and its schema brought up to
// date by the numbered migrations of schema.cpp.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace zrtserver {

// One prepared statement; finalised when it goes out of scope. Column and parameter indexes
// are SQLite's (parameters from 1, columns from 0).
class Statement {
  public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    void bind(int index, int64_t value);
    void bind(int index, const std::string& value);
    void bindNull(int index);
    // True while a row is at hand.
    bool step();
    // True when the statement ran to completion without error.
    bool run();
    int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;
    // The SQLite result code of the last step.
    int code() const { return rc_; }

  private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = 0;
};

class Database {
  public:
    // Opens (creating when missing) and migrates; nullopt-like failure reported through ok().
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool ok() const { return db_ != nullptr; }
    const std::string& error() const { return error_; }
    int schemaVersion();

    // Every use of the connection holds this lock.
    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }
    sqlite3* handle() { return db_; }
    bool exec(const char* sql);

  private:
    bool migrate();

    sqlite3* db_ = nullptr;
    std::mutex mutex_;
    std::string error_;
};

}  // namespace zrtserver
