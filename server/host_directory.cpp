// The lobby hosts' shared tables.
#include "server/host_directory.h"

namespace zrtserver {

namespace {
// A PostgreSQL text array literal of plain names (printable ASCII without spaces): quotes and
// backslashes escaped.
std::string textArray(const std::vector<std::string>& items) {
    std::string out = "{";
    for (const std::string& item : items) {
        if (out.size() > 1) out += ',';
        out += '"';
        for (char c : item) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

std::vector<std::string> column(const PgResult& r) {
    std::vector<std::string> out;
    for (int i = 0; i < r.rows(); ++i) out.push_back(r.text(i, 0));
    return out;
}
}  // namespace

bool HostDirectory::record(const std::string& address, int room) {
    return db_
        .exec(
            "INSERT INTO lobby_hosts (address, room, seen_at) VALUES ($1, $2, now())"
            " ON CONFLICT (address) DO UPDATE SET room = $2, seen_at = now()",
            {address, std::to_string(room)})
        .ok();
}

std::optional<std::string> HostDirectory::roomiest() {
    PgResult r = db_.exec(
        "SELECT address FROM lobby_hosts WHERE seen_at > now() - $1::interval"
        " ORDER BY room DESC, address LIMIT 1",
        {std::to_string(kHostTimeout.count()) + " seconds"});
    if (r.rows() != 1) return std::nullopt;
    return r.text(0, 0);
}

bool HostDirectory::claim(const std::string& nameKey, const std::string& address) {
    return db_
        .exec(
            "INSERT INTO hall_names (name_key, host, claimed_at) VALUES ($1, $2, now())"
            " ON CONFLICT (name_key) DO UPDATE SET host = $2, claimed_at = now()",
            {nameKey, address})
        .ok();
}

std::vector<std::string> HostDirectory::claimedElsewhere(const std::string& address,
                                                         const std::vector<std::string>& keys) {
    if (keys.empty()) return {};
    return column(
        db_.exec("SELECT name_key FROM hall_names WHERE name_key = ANY($1::text[]) AND host <> $2",
                 {textArray(keys), address}));
}

std::vector<std::string> HostDirectory::banned(const std::vector<std::string>& keys,
                                               const std::string& now) {
    if (keys.empty()) return {};
    return column(
        db_.exec("SELECT login_name FROM accounts WHERE lower(login_name) ="
                 " ANY($1::text[]) AND banned_at IS NOT NULL"
                 " AND (banned_until IS NULL OR banned_until > $2)",
                 {textArray(keys), now}));
}

}  // namespace zrtserver
