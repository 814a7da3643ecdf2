// Queries of the PostgreSQL store.
#include "server/pg_store.h"

namespace zrtserver {

namespace {
// Now in the store's text form.
#define PG_NOW "to_char(now() AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')"
// Any number: the lock every host takes while it migrates.
constexpr const char* kMigrationLock = "1694017";

constexpr const char* kAccountColumns =
    "SELECT id, login_name, email, password_hash, score, portrait, country, year, month, day,"
    " won, lost, quit, gemstones, login_counter, lobby_byte, last_grant_day,"
    " last_login_address, created_at, last_login_at, banned_at, banned_until, ban_reason";

std::string num(int64_t v) {
    return std::to_string(v);
}

PgParams statsParams(const zrt::AccountStats& s) {
    PgParams p;
    for (uint16_t v : {s.score, s.portrait, s.country, s.year, s.month, s.day, s.won, s.lost,
                       s.quit, s.gemstones})
        p.push_back(num(v));
    return p;
}

zrt::AccountStats readStats(const PgResult& r, int row, int first) {
    auto u = [&](int c) { return static_cast<uint16_t>(r.integer(row, first + c)); };
    return {u(0), u(1), u(2), u(3), u(4), u(5), u(6), u(7), u(8), u(9)};
}

Account readAccount(const PgResult& r, int row) {
    Account a;
    a.id = r.integer(row, 0);
    a.loginName = r.text(row, 1);
    a.email = r.text(row, 2);
    a.passwordHash = r.text(row, 3);
    a.stats = readStats(r, row, 4);
    a.loginCounter = static_cast<uint8_t>(r.integer(row, 14));
    a.lobbyByte = static_cast<uint8_t>(r.integer(row, 15));
    a.lastGrantDay = r.text(row, 16);
    a.lastLoginAddress = r.text(row, 17);
    a.createdAt = r.text(row, 18);
    a.lastLoginAt = r.text(row, 19);
    a.banned = !r.isNull(row, 20);
    a.bannedUntil = r.text(row, 21);
    a.banReason = r.text(row, 22);
    return a;
}

std::optional<std::string> orNull(const std::string& s) {
    return s.empty() ? std::nullopt : std::optional<std::string>(s);
}
}  // namespace

PgAccountStore::PgAccountStore(const std::string& url) : db_(url) {
    ok_ = db_.ok() && migrate();
}

int PgAccountStore::schemaVersion() {
    PgResult r = db_.exec("SELECT version FROM schema_version");
    return r.rows() == 1 ? static_cast<int>(r.integer(0, 0)) : -1;
}

// Hosts starting together migrate one after the other; each step commits with its version.
bool PgAccountStore::migrate() {
    if (!db_.exec(std::string("SELECT pg_advisory_lock(") + kMigrationLock + ")").ok())
        return false;
    bool ok = db_.script(
        "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL);"
        "INSERT INTO schema_version SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM schema_version);");
    int version = ok ? schemaVersion() : -1;
    const auto& steps = pgMigrations();
    ok = version >= 0 && version <= static_cast<int>(steps.size());
    for (size_t i = static_cast<size_t>(std::max(version, 0)); ok && i < steps.size(); ++i)
        ok = db_.script(std::string(steps[i]) +
                        ";\nUPDATE schema_version SET version = " + std::to_string(i + 1) + ";");
    db_.exec(std::string("SELECT pg_advisory_unlock(") + kMigrationLock + ")");
    return ok;
}

InsertResult PgAccountStore::insertPending(Account& a, const std::string& mailFile) {
    PgParams p = {a.loginName, a.email, a.passwordHash};
    for (auto& v : statsParams(a.stats)) p.push_back(v);
    p.insert(p.end(), {num(a.loginCounter), num(a.lobbyByte), mailFile});
    PgResult r = db_.exec(
        "INSERT INTO accounts (login_name, email, password_hash, score, portrait, country, year,"
        " month, day, won, lost, quit, gemstones, login_counter, lobby_byte, created_at,"
        " pending_mail) VALUES ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10,$11,$12,$13,$14,$15," PG_NOW
        ",$16) RETURNING id",
        p);
    if (r.ok() && r.rows() == 1) {
        a.id = r.integer(0, 0);
        return InsertResult::Created;
    }
    return r.state() == "23505" ? InsertResult::NameTaken : InsertResult::Failed;
}

InsertResult PgAccountStore::importAccount(const Account& a) {
    PgParams p = {a.loginName, a.email, a.passwordHash};
    for (auto& v : statsParams(a.stats)) p.push_back(v);
    p.insert(p.end(), {num(a.loginCounter), num(a.lobbyByte), a.createdAt, orNull(a.lastLoginAt),
                       orNull(a.lastGrantDay), orNull(a.lastLoginAddress),
                       a.banned ? std::optional<std::string>(a.createdAt) : std::nullopt,
                       orNull(a.bannedUntil), orNull(a.banReason)});
    PgResult r = db_.exec(
        "INSERT INTO accounts (login_name, email, password_hash, score, portrait, country, year,"
        " month, day, won, lost, quit, gemstones, login_counter, lobby_byte, created_at,"
        " last_login_at, last_grant_day, last_login_address, banned_at, banned_until, ban_reason)"
        " VALUES ($1,$2,$3,$4,$5,$6,$7,$8,$9,$10,$11,$12,$13,$14,$15,$16,$17,$18,$19,$20,$21,$22)",
        p);
    if (r.ok()) return InsertResult::Created;
    return r.state() == "23505" ? InsertResult::NameTaken : InsertResult::Failed;
}

bool PgAccountStore::confirm(int64_t id) {
    return db_.exec("UPDATE accounts SET pending_mail = NULL WHERE id = $1", {num(id)}).changed() ==
           1;
}

std::vector<PendingAccount> PgAccountStore::pending() {
    PgResult r = db_.exec(
        "SELECT id, login_name, pending_mail FROM accounts WHERE pending_mail IS NOT NULL");
    std::vector<PendingAccount> out;
    for (int i = 0; i < r.rows(); ++i) out.push_back({r.integer(i, 0), r.text(i, 1), r.text(i, 2)});
    return out;
}

bool PgAccountStore::removePending(int64_t id) {
    return db_.exec("DELETE FROM accounts WHERE id = $1 AND pending_mail IS NOT NULL", {num(id)})
        .ok();
}

std::optional<Account> PgAccountStore::find(const std::string& loginName) {
    PgResult r = db_.exec(std::string(kAccountColumns) +
                              " FROM accounts WHERE lower(login_name) = lower($1)"
                              " AND pending_mail IS NULL",
                          {loginName});
    if (r.rows() != 1) return std::nullopt;
    return readAccount(r, 0);
}

bool PgAccountStore::recordLogin(int64_t id, const zrt::AccountStats& stats, uint8_t loginCounter,
                                 uint8_t lobbyByte, const std::string& grantDay,
                                 const std::string& address) {
    PgParams p = statsParams(stats);
    p.insert(p.end(), {num(loginCounter), num(lobbyByte), orNull(grantDay), address, num(id)});
    return db_.exec(
                  "UPDATE accounts SET score=$1, portrait=$2, country=$3, year=$4, month=$5,"
                  " day=$6, won=$7, lost=$8, quit=$9, gemstones=$10, login_counter=$11,"
                  " lobby_byte=$12, last_login_at=" PG_NOW
                  ", last_grant_day=COALESCE($13, last_grant_day), last_login_address=$14"
                  " WHERE id=$15",
                  p)
               .changed() == 1;
}

std::vector<zrt::LadderEntry> PgAccountStore::ladder(int limit) {
    PgResult r = db_.exec(
        "SELECT login_name, score, portrait, country, year, month, day, won, lost, quit,"
        " gemstones FROM accounts WHERE pending_mail IS NULL"
        " ORDER BY score DESC, lower(login_name) ASC LIMIT $1",
        {num(limit)});
    std::vector<zrt::LadderEntry> out;
    for (int i = 0; i < r.rows(); ++i) out.push_back({r.text(i, 0), readStats(r, i, 1)});
    return out;
}

int64_t PgAccountStore::count() {
    PgResult r = db_.exec("SELECT COUNT(*) FROM accounts WHERE pending_mail IS NULL");
    return r.rows() == 1 ? r.integer(0, 0) : -1;
}

std::vector<Account> PgAccountStore::list(const std::string& pattern, int limit) {
    PgResult r = db_.exec(std::string(kAccountColumns) +
                              " FROM accounts WHERE pending_mail IS NULL"
                              " AND lower(login_name) LIKE lower($1) ESCAPE '\\'"
                              " ORDER BY lower(login_name) LIMIT $2",
                          {likePattern(pattern), num(limit)});
    std::vector<Account> out;
    for (int i = 0; i < r.rows(); ++i) out.push_back(readAccount(r, i));
    return out;
}

bool PgAccountStore::setBan(int64_t id, bool banned, const std::string& until,
                            const std::string& reason) {
    if (!banned)
        return db_.exec(
                      "UPDATE accounts SET banned_at=NULL, banned_until=NULL, ban_reason=NULL"
                      " WHERE id=$1",
                      {num(id)})
                   .changed() == 1;
    return db_.exec("UPDATE accounts SET banned_at=" PG_NOW
                    ", banned_until=$1, ban_reason=$2"
                    " WHERE id=$3",
                    {orNull(until), reason, num(id)})
               .changed() == 1;
}

bool PgAccountStore::setPasswordHash(int64_t id, const std::string& hash) {
    return db_.exec("UPDATE accounts SET password_hash=$1 WHERE id=$2", {hash, num(id)})
               .changed() == 1;
}

bool PgAccountStore::setStats(int64_t id, const zrt::AccountStats& stats) {
    PgParams p = statsParams(stats);
    p.push_back(num(id));
    return db_.exec(
                  "UPDATE accounts SET score=$1, portrait=$2, country=$3, year=$4, month=$5,"
                  " day=$6, won=$7, lost=$8, quit=$9, gemstones=$10 WHERE id=$11",
                  p)
               .changed() == 1;
}

bool PgAccountStore::addAudit(const AuditEntry& e) {
    return db_
        .exec(
            "INSERT INTO audit (at, actor, host, action, outcome)"
            " VALUES (COALESCE($1, " PG_NOW "), $2, $3, $4, $5)",
            {orNull(e.at), e.actor, e.host, e.action, e.outcome})
        .ok();
}

std::vector<AuditEntry> PgAccountStore::audit(int limit) {
    PgResult r =
        db_.exec("SELECT at, actor, host, action, outcome FROM audit ORDER BY id DESC LIMIT $1",
                 {num(limit)});
    std::vector<AuditEntry> out;
    for (int i = 0; i < r.rows(); ++i)
        out.push_back({r.text(i, 0), r.text(i, 1), r.text(i, 2), r.text(i, 3), r.text(i, 4)});
    return out;
}

}  // namespace zrtserver
