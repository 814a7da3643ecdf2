// Schema history of the PostgreSQL store. Never edit a released step; add a new one. Times are
// kept as text in the form the SQLite store uses (YYYY-MM-DDTHH:MM:SSZ), so both compare and
// print them alike.
#include "server/pg_store.h"

namespace zrtserver {

const std::vector<const char*>& pgMigrations() {
    static const std::vector<const char*> steps = {
        // 1: the accounts as the SQLite store has them at its fourth step, and the audit.
        R"sql(
CREATE TABLE accounts (
    id                 BIGSERIAL PRIMARY KEY,
    login_name         TEXT NOT NULL,
    email              TEXT NOT NULL,
    password_hash      TEXT NOT NULL,
    score              INTEGER NOT NULL,
    portrait           INTEGER NOT NULL,
    country            INTEGER NOT NULL,
    year               INTEGER NOT NULL,
    month              INTEGER NOT NULL,
    day                INTEGER NOT NULL,
    won                INTEGER NOT NULL,
    lost               INTEGER NOT NULL,
    quit               INTEGER NOT NULL,
    gemstones          INTEGER NOT NULL,
    login_counter      INTEGER NOT NULL DEFAULT 0,
    lobby_byte         INTEGER NOT NULL DEFAULT 0,
    created_at         TEXT NOT NULL,
    last_login_at      TEXT,
    last_grant_day     TEXT,
    pending_mail       TEXT,
    last_login_address TEXT,
    banned_at          TEXT,
    banned_until       TEXT,
    ban_reason         TEXT
);
CREATE UNIQUE INDEX accounts_name ON accounts (lower(login_name));
CREATE INDEX accounts_ladder ON accounts (score DESC, lower(login_name));
CREATE TABLE audit (
    id      BIGSERIAL PRIMARY KEY,
    at      TEXT NOT NULL,
    actor   TEXT NOT NULL,
    host    TEXT NOT NULL,
    action  TEXT NOT NULL,
    outcome TEXT NOT NULL
);)sql",
        // 2: the lobby hosts sharing the store: each one's room, renewed while it runs, and
        // which host the latest holder of each lobby name entered a hall on.
        R"sql(
CREATE TABLE lobby_hosts (
    address TEXT PRIMARY KEY,
    room    INTEGER NOT NULL,
    seen_at TIMESTAMPTZ NOT NULL
);
CREATE TABLE hall_names (
    name_key   TEXT PRIMARY KEY,
    host       TEXT NOT NULL,
    claimed_at TIMESTAMPTZ NOT NULL
);)sql",
    };
    return steps;
}

}  // namespace zrtserver
