// Schema history. Never edit a released step; add a new one.
#include "server/schema.h"

namespace zrtserver {

const std::vector<const char*>& migrations() {
    static const std::vector<const char*> steps = {
        // 1: accounts with their figures and an argon2id password hash.
        R"sql(
CREATE TABLE accounts (
    id            INTEGER PRIMARY KEY,
    login_name    TEXT NOT NULL UNIQUE COLLATE NOCASE,
    email         TEXT NOT NULL,
    password_hash TEXT NOT NULL,
    score         INTEGER NOT NULL,
    portrait      INTEGER NOT NULL,
    country       INTEGER NOT NULL,
    year          INTEGER NOT NULL,
    month         INTEGER NOT NULL,
    day           INTEGER NOT NULL,
    won           INTEGER NOT NULL,
    lost          INTEGER NOT NULL,
    quit          INTEGER NOT NULL,
    gemstones     INTEGER NOT NULL,
    login_counter INTEGER NOT NULL DEFAULT 0,
    lobby_byte    INTEGER NOT NULL DEFAULT 0,
    created_at    TEXT NOT NULL
);)sql",
        // 2: the ladder reads the best scores; the daily gemstone grant remembers its day.
        R"sql(
CREATE INDEX accounts_ladder ON accounts (score DESC, login_name);
ALTER TABLE accounts ADD COLUMN last_login_at TEXT;
ALTER TABLE accounts ADD COLUMN last_grant_day TEXT;)sql",
        // 3: a new account is pending until its mail is written (the column names the mail's
        // outbox file); an accepted login remembers its address.
        R"sql(
ALTER TABLE accounts ADD COLUMN pending_mail TEXT;
ALTER TABLE accounts ADD COLUMN last_login_address TEXT;)sql",
        // 4: operators ban accounts (with an optional end and a reason) and every operator
        // action is kept.
        R"sql(
ALTER TABLE accounts ADD COLUMN banned_at TEXT;
ALTER TABLE accounts ADD COLUMN banned_until TEXT;
ALTER TABLE accounts ADD COLUMN ban_reason TEXT;
CREATE TABLE audit (
    id      INTEGER PRIMARY KEY,
    at      TEXT NOT NULL,
    actor   TEXT NOT NULL,
    host    TEXT NOT NULL,
    action  TEXT NOT NULL,
    outcome TEXT NOT NULL
);)sql",
    };
    return steps;
}

}  // namespace zrtserver
