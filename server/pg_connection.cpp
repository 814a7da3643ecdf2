// libpq calls.
#include "server/pg_connection.h"

#include <libpq-fe.h>

#include "server/log.h"

namespace zrtserver {

namespace {
// A statement that takes longer has met a fault (a lock held by a stuck host, a dead link).
constexpr const char* kStatementTimeout = "SET statement_timeout = '10s'";
}  // namespace

PgResult::PgResult(pg_result* r) : result_(r, PQclear) {
    ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    ok_ = s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
    if (!ok_ && r) {
        const char* st = PQresultErrorField(r, PG_DIAG_SQLSTATE);
        state_ = st ? st : "";
    }
}

int PgResult::rows() const {
    return ok_ ? PQntuples(result_.get()) : 0;
}

bool PgResult::isNull(int row, int column) const {
    return PQgetisnull(result_.get(), row, column) != 0;
}

std::string PgResult::text(int row, int column) const {
    return isNull(row, column) ? std::string() : PQgetvalue(result_.get(), row, column);
}

int64_t PgResult::integer(int row, int column) const {
    return isNull(row, column) ? 0 : std::stoll(PQgetvalue(result_.get(), row, column));
}

int64_t PgResult::changed() const {
    const char* n = ok_ ? PQcmdTuples(result_.get()) : "";
    return *n ? std::stoll(n) : 0;
}

PgConnection::PgConnection(std::string url) : url_(std::move(url)) {
    std::lock_guard lock(mutex_);
    connect();
}

PgConnection::~PgConnection() {
    if (conn_) PQfinish(conn_);
}

bool PgConnection::connect() {
    if (conn_) PQfinish(conn_);
    const char* keys[] = {"dbname", "connect_timeout", "application_name", nullptr};
    const char* values[] = {url_.c_str(), "5", "zrtserver", nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        error_ = conn_ ? PQerrorMessage(conn_) : "out of memory";
        while (!error_.empty() && error_.back() == '\n') error_.pop_back();
        if (conn_) PQfinish(conn_);
        conn_ = nullptr;
        return false;
    }
    PQclear(PQexec(conn_, kStatementTimeout));
    // Notices ("already exists, skipping") are not faults; they stay out of the log.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    return true;
}

PgResult PgConnection::execLocked(const std::string& sql, const PgParams& params) {
    std::vector<const char*> values;
    for (const auto& p : params) values.push_back(p ? p->c_str() : nullptr);
    return PgResult(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                 values.data(), nullptr, nullptr, 0));
}

PgResult PgConnection::exec(const std::string& sql, const PgParams& params) {
    std::lock_guard lock(mutex_);
    if (!conn_ && !connect()) return {};
    PgResult r = execLocked(sql, params);
    // A connection the server dropped (a restart, a failover) is made again once.
    if (!r.ok() && PQstatus(conn_) == CONNECTION_BAD) {
        logLine("account store: connection lost, connecting again");
        if (!connect()) return {};
        r = execLocked(sql, params);
    }
    if (!r.ok()) error_ = PQerrorMessage(conn_);
    return r;
}

bool PgConnection::script(const std::string& sql) {
    std::lock_guard lock(mutex_);
    if (!conn_ && !connect()) return false;
    PgResult r(PQexec(conn_, ("BEGIN;\n" + sql + "\nCOMMIT;").c_str()));
    if (!r.ok()) {
        error_ = PQerrorMessage(conn_);
        PQclear(PQexec(conn_, "ROLLBACK"));
    }
    return r.ok();
}

}  // namespace zrtserver
