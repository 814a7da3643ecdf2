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
    Statement s(db_.handle(),
                "SELECT id, login_name, email, password_hash, score, portrait, country, year,"
                " month, day, won, lost, quit, gemstones, login_counter, lobby_byte,"
                " last_grant_day, last_login_address FROM accounts"
                " WHERE login_name = ? AND pending_mail IS NULL");
    s.bind(1, loginName);
    if (!s.step()) return std::nullopt;
    Account a;
    a.id = s.integer(0);
    a.loginName = s.text(1);
    a.email = s.text(2);
    a.passwordHash = s.text(3);
    a.stats = readStats(s, 4);
    a.loginCounter = static_cast<uint8_t>(s.integer(14));
    a.lobbyByte = static_cast<uint8_t>(s.integer(15));
    a.lastGrantDay = s.isNull(16) ? std::string() : s.text(16);
    a.lastLoginAddress = s.isNull(17) ? std::string() : s.text(17);
    return a;
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

}  // namespace zrtserver
