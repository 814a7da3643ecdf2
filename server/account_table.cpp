// Queries of the accounts table.
#include "server/account_table.h"

#include <sqlite3.h>

namespace zrtserver {

namespace {

void bindStats(Statement& s, int first, const zrt::AccountStats& st) {
    int i = first;
    for (uint16_t v : {st.score, st.portrait, st.country, st.year, st.month, st.day, st.won,
                       st.lost, st.quit, st.gemstones})
        s.bind(i++, static_cast<int64_t>(v));
}

zrt::AccountStats readStats(const Statement& s, int first) {
    auto u = [&](int c) { return static_cast<uint16_t>(s.integer(first + c)); };
    zrt::AccountStats st;
    st.score = u(0);
    st.portrait = u(1);
    st.country = u(2);
    st.year = u(3);
    st.month = u(4);
    st.day = u(5);
    st.won = u(6);
    st.lost = u(7);
    st.quit = u(8);
    st.gemstones = u(9);
    return st;
}

// Every column of an Account, in the order readAccount takes them.
constexpr const char* kAccountColumns =
    "SELECT id, login_name, email, password_hash, score, portrait, country, year, month, day,"
    " won, lost, quit, gemstones, login_counter, lobby_byte, last_grant_day,"
    " last_login_address, created_at, last_login_at, banned_at, banned_until, ban_reason";

std::string optionalText(const Statement& s, int column) {
    return s.isNull(column) ? std::string() : s.text(column);
}

Account readAccount(const Statement& s) {
    Account a;
    a.id = s.integer(0);
    a.loginName = s.text(1);
    a.email = s.text(2);
    a.passwordHash = s.text(3);
    a.stats = readStats(s, 4);
    a.loginCounter = static_cast<uint8_t>(s.integer(14));
    a.lobbyByte = static_cast<uint8_t>(s.integer(15));
    a.lastGrantDay = optionalText(s, 16);
    a.lastLoginAddress = optionalText(s, 17);
    a.createdAt = optionalText(s, 18);
    a.lastLoginAt = optionalText(s, 19);
    a.banned = !s.isNull(20);
    a.bannedUntil = optionalText(s, 21);
    a.banReason = optionalText(s, 22);
    return a;
}

bool changedOne(Database& db, Statement& s) {
    return s.run() && sqlite3_changes(db.handle()) == 1;
}

}  // namespace

InsertResult AccountTable::insertPending(Account& a, const std::string& mailFile) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                "INSERT INTO accounts (login_name, email, password_hash, score, portrait, country,"
                " year, month, day, won, lost, quit, gemstones, login_counter, lobby_byte,"
                " created_at, pending_mail) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?, "
                "strftime('%Y-%m-%dT%H:%M:%SZ','now'), ?)");
    s.bind(1, a.loginName);
    s.bind(2, a.email);
    s.bind(3, a.passwordHash);
    bindStats(s, 4, a.stats);
    s.bind(14, static_cast<int64_t>(a.loginCounter));
    s.bind(15, static_cast<int64_t>(a.lobbyByte));
    s.bind(16, mailFile);
    if (s.run()) {
        a.id = sqlite3_last_insert_rowid(db_.handle());
        return InsertResult::Created;
    }
    return s.code() == SQLITE_CONSTRAINT ? InsertResult::NameTaken : InsertResult::Failed;
}

bool AccountTable::confirm(int64_t id) {
    auto lock = db_.lock();
    Statement s(db_.handle(), "UPDATE accounts SET pending_mail = NULL WHERE id = ?");
    s.bind(1, id);
    return s.run() && sqlite3_changes(db_.handle()) == 1;
}

std::vector<PendingAccount> AccountTable::pending() {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                "SELECT id, login_name, pending_mail FROM accounts WHERE pending_mail IS NOT NULL");
    std::vector<PendingAccount> out;
    while (s.step()) out.push_back({s.integer(0), s.text(1), s.text(2)});
    return out;
}

bool AccountTable::removePending(int64_t id) {
    auto lock = db_.lock();
    Statement s(db_.handle(), "DELETE FROM accounts WHERE id = ? AND pending_mail IS NOT NULL");
    s.bind(1, id);
    return s.run();
}

std::optional<Account> AccountTable::find(const std::string& loginName) {
    auto lock = db_.lock();
    Statement s(db_.handle(), (std::string(kAccountColumns) +
                               " FROM accounts WHERE login_name = ? AND pending_mail IS NULL")
                                  .c_str());
    s.bind(1, loginName);
    if (!s.step()) return std::nullopt;
    return readAccount(s);
}

bool AccountTable::recordLogin(int64_t id, const zrt::AccountStats& stats, uint8_t loginCounter,
                               uint8_t lobbyByte, const std::string& grantDay,
                               const std::string& address) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                "UPDATE accounts SET score=?, portrait=?, country=?, year=?, month=?, day=?,"
                " won=?, lost=?, quit=?, gemstones=?, login_counter=?, lobby_byte=?,"
                " last_login_at=strftime('%Y-%m-%dT%H:%M:%SZ','now'),"
                " last_grant_day=COALESCE(?, last_grant_day), last_login_address=? WHERE id=?");
    bindStats(s, 1, stats);
    s.bind(11, static_cast<int64_t>(loginCounter));
    s.bind(12, static_cast<int64_t>(lobbyByte));
    if (grantDay.empty())
        s.bindNull(13);
    else
        s.bind(13, grantDay);
    s.bind(14, address);
    s.bind(15, id);
    return s.run();
}

std::vector<zrt::LadderEntry> AccountTable::ladder(int limit) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                "SELECT login_name, score, portrait, country, year, month, day, won, lost, quit,"
                " gemstones FROM accounts WHERE pending_mail IS NULL"
                " ORDER BY score DESC, login_name ASC LIMIT ?");
    s.bind(1, static_cast<int64_t>(limit));
    std::vector<zrt::LadderEntry> out;
    while (s.step()) out.push_back({s.text(0), readStats(s, 1)});
    return out;
}

int64_t AccountTable::count() {
    auto lock = db_.lock();
    Statement s(db_.handle(), "SELECT COUNT(*) FROM accounts WHERE pending_mail IS NULL");
    return s.step() ? s.integer(0) : -1;
}

std::vector<Account> AccountTable::list(const std::string& pattern, int limit) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                (std::string(kAccountColumns) +
                 " FROM accounts WHERE pending_mail IS NULL AND login_name LIKE ? ESCAPE '\\'"
                 " ORDER BY login_name LIMIT ?")
                    .c_str());
    s.bind(1, likePattern(pattern));
    s.bind(2, static_cast<int64_t>(limit));
    std::vector<Account> out;
    while (s.step()) out.push_back(readAccount(s));
    return out;
}

bool AccountTable::setBan(int64_t id, bool banned, const std::string& until,
                          const std::string& reason) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                banned ? "UPDATE accounts SET banned_at=strftime('%Y-%m-%dT%H:%M:%SZ','now'),"
                         " banned_until=NULLIF(?, ''), ban_reason=? WHERE id=?"
                       : "UPDATE accounts SET banned_at=NULL, banned_until=NULLIF(?, ''),"
                         " ban_reason=NULLIF(?, '') WHERE id=?");
    s.bind(1, banned ? until : std::string());
    s.bind(2, banned ? reason : std::string());
    s.bind(3, id);
    return changedOne(db_, s);
}

bool AccountTable::setPasswordHash(int64_t id, const std::string& hash) {
    auto lock = db_.lock();
    Statement s(db_.handle(), "UPDATE accounts SET password_hash=? WHERE id=?");
    s.bind(1, hash);
    s.bind(2, id);
    return changedOne(db_, s);
}

bool AccountTable::setStats(int64_t id, const zrt::AccountStats& stats) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                "UPDATE accounts SET score=?, portrait=?, country=?, year=?, month=?, day=?,"
                " won=?, lost=?, quit=?, gemstones=? WHERE id=?");
    bindStats(s, 1, stats);
    s.bind(11, id);
    return changedOne(db_, s);
}

bool AccountTable::addAudit(const AuditEntry& e) {
    auto lock = db_.lock();
    Statement s(
        db_.handle(),
        "INSERT INTO audit (at, actor, host, action, outcome)"
        " VALUES (COALESCE(NULLIF(?, ''), strftime('%Y-%m-%dT%H:%M:%SZ','now')), ?, ?, ?, ?)");
    s.bind(1, e.at);
    s.bind(2, e.actor);
    s.bind(3, e.host);
    s.bind(4, e.action);
    s.bind(5, e.outcome);
    return s.run();
}

std::vector<AuditEntry> AccountTable::audit(int limit) {
    auto lock = db_.lock();
    Statement s(db_.handle(),
                "SELECT at, actor, host, action, outcome FROM audit ORDER BY id DESC LIMIT ?");
    s.bind(1, static_cast<int64_t>(limit));
    std::vector<AuditEntry> out;
    while (s.step()) out.push_back({s.text(0), s.text(1), s.text(2), s.text(3), s.text(4)});
    return out;
}

std::string likePattern(const std::string& pattern) {
    std::string out;
    for (char c : pattern) {
        if (c == '*')
            out += '%';
        else if (c == '?')
            out += '_';
        else if (c == '%' || c == '_' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

}  // namespace zrtserver
