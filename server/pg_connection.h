// PgConnection: one libpq connection to the shared PostgreSQL account store, guarded by a
// mutex, with bounded waits (connect_timeout, statement_timeout) and one reconnect when the
// server went away between two statements. Parameters and results travel as text.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace zrtserver {

// A statement's result; empty (ok() false) when it failed.
class PgResult {
  public:
    PgResult() = default;
    explicit PgResult(pg_result* r);
    bool ok() const { return ok_; }
    // The SQLSTATE of a failure ("23505": a unique key taken), or empty.
    const std::string& state() const { return state_; }
    int rows() const;
    bool isNull(int row, int column) const;
    std::string text(int row, int column) const;
    int64_t integer(int row, int column) const;
    // Rows a command changed.
    int64_t changed() const;

  private:
    std::shared_ptr<pg_result> result_;
    bool ok_ = false;
    std::string state_;
};

using PgParams = std::vector<std::optional<std::string>>;  // nullopt: NULL

class PgConnection {
  public:
    // Connects to `url` (a postgresql:// URL or key=value string); ok() says whether it did.
    explicit PgConnection(std::string url);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    bool ok() const { return conn_ != nullptr; }
    const std::string& error() const { return error_; }

    PgResult exec(const std::string& sql, const PgParams& params = {});
    // Runs `sql` (several statements) in one transaction; false with error() on failure.
    bool script(const std::string& sql);

  private:
    bool connect();
    PgResult execLocked(const std::string& sql, const PgParams& params);

    std::string url_;
    pg_conn* conn_ = nullptr;
    std::mutex mutex_;
    std::string error_;
};

}  // namespace zrtserver
