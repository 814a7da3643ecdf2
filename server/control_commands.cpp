// The operator's commands.
#include "server/control_commands.h"

#include <algorithm>
#include <cstdio>

#include "server/lobby_role.h"
#include "server/log.h"
#include "server/login_policy.h"
#include "server/password_hash.h"

namespace zrtserver {

namespace {
constexpr int kListLimit = 1000;
constexpr int kAuditDefault = 20;

ControlReply done(const std::string& text) {
    return {true, text + "\n"};
}

ControlReply refused(const std::string& text) {
    return {false, text + "\n"};
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

bool isDigits(const std::string& s, size_t from, size_t count) {
    if (from + count > s.size()) return false;
    return std::all_of(s.begin() + static_cast<long>(from),
                       s.begin() + static_cast<long>(from + count),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<uint16_t> figure(const std::string& text) {
    if (text.empty() || text.size() > 5 || !isDigits(text, 0, text.size())) return std::nullopt;
    unsigned long v = std::stoul(text);
    if (v > 0xFFFF) return std::nullopt;
    return static_cast<uint16_t>(v);
}

std::string figures(const zrt::AccountStats& s) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "score %u, won %u, lost %u, quit %u, gemstones %u, portrait %u, country %u, "
                  "date %04u-%02u-%02u",
                  s.score, s.won, s.lost, s.quit, s.gemstones, s.portrait, s.country, s.year,
                  s.month, s.day);
    return buf;
}

std::string banText(const Account& a) {
    if (!a.banned) return "no";
    std::string t = a.bannedUntil.empty() ? "until unbanned" : "until " + a.bannedUntil;
    if (!banInForce(a, utcNow())) t += " (over)";
    if (!a.banReason.empty()) t += ": " + a.banReason;
    return t;
}

std::string duration(std::chrono::steady_clock::duration d) {
    long s = static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(d).count());
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ldd %02ld:%02ld:%02ld", s / 86400, s / 3600 % 24, s / 60 % 60,
                  s % 60);
    return buf;
}
}  // namespace

std::optional<std::string> parseBanEnd(const std::string& text) {
    std::string full = text.size() == 10 ? text + "T00:00:00Z" : text;
    if (full.size() != 20 || !isDigits(full, 0, 4) || full[4] != '-' || !isDigits(full, 5, 2) ||
        full[7] != '-' || !isDigits(full, 8, 2) || full[10] != 'T' || !isDigits(full, 11, 2) ||
        full[13] != ':' || !isDigits(full, 14, 2) || full[16] != ':' || !isDigits(full, 17, 2) ||
        full[19] != 'Z')
        return std::nullopt;
    int month = std::stoi(full.substr(5, 2)), day = std::stoi(full.substr(8, 2));
    int hour = std::stoi(full.substr(11, 2)), minute = std::stoi(full.substr(14, 2));
    int second = std::stoi(full.substr(17, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return full;
}

ControlCommands::ControlCommands(AccountStore& store, Mailer& mailer, HashCost hashCost,
                                 std::string host, const LiveServer* live)
    : store_(store), mailer_(mailer), hashCost_(hashCost), host_(std::move(host)), live_(live) {}

std::string ControlCommands::usage() {
    return "commands:\n"
           "  status\n"
           "  who [HALL]\n"
           "  kick NAME [REASON]\n"
           "  news HALL|all TEXT\n"
           "  reload\n"
           "  account show NAME\n"
           "  account list [PATTERN]            (* and ? as wildcards)\n"
           "  account ban NAME [--until DATE] [--reason TEXT]\n"
           "  account unban NAME\n"
           "  account reset-password NAME\n"
           "  account set-figures NAME FIELD=VALUE...\n"
           "      (score, won, lost, quit, gemstones, portrait, country, year, month, day)\n"
           "  audit [COUNT]\n";
}

bool ControlCommands::worksOffline(const std::vector<std::string>& words) {
    return !words.empty() && (words[0] == "account" || words[0] == "audit");
}

ControlReply ControlCommands::run(const std::vector<std::string>& words, const std::string& actor) {
    static const std::vector<std::string> changes = {"kick", "news", "reload"};
    static const std::vector<std::string> accountChanges = {"ban", "unban", "reset-password",
                                                            "set-figures"};
    ControlReply reply;
    const std::string cmd = words.empty() ? std::string() : words[0];
    auto arg = [&](size_t i) { return i < words.size() ? words[i] : std::string(); };
    if (!live_ && !worksOffline(words) && !words.empty() && cmd != "help") {
        reply = refused(
            "the server is not running; only the account commands and the audit work"
            " without it");
    } else if (cmd == "status" && words.size() == 1) {
        reply = status();
    } else if (cmd == "who" && words.size() <= 2) {
        reply = who(arg(1));
    } else if (cmd == "kick" && words.size() >= 2) {
        reply = kick(words[1]);
    } else if (cmd == "news" && words.size() >= 3) {
        std::vector<std::string> text(words.begin() + 2, words.end());
        reply = news(words[1] == "all" ? std::string() : words[1], joined(text));
    } else if (cmd == "reload" && words.size() == 1) {
        reply = done(live_->reload());
    } else if (cmd == "account" && words.size() >= 2) {
        reply = account(words);
    } else if (cmd == "audit" && words.size() <= 2) {
        reply = auditLog(arg(1));
    } else {
        reply = {cmd == "help", usage()};
    }
    bool change = std::find(changes.begin(), changes.end(), cmd) != changes.end() ||
                  (cmd == "account" && std::find(accountChanges.begin(), accountChanges.end(),
                                                 arg(1)) != accountChanges.end());
    std::string outcome = reply.text.substr(0, reply.text.find('\n'));
    if (live_)
        logLine("control: " + actor + ": " + printable(joined(words)) + ": " + printable(outcome));
    if (change && !store_.addAudit({{}, actor, host_, joined(words), outcome}))
        logLine("control: the audit table could not be written");
    return reply;
}

ControlReply ControlCommands::status() {
    std::string t = "uptime " + duration(std::chrono::steady_clock::now() - live_->started) + "\n";
    t += "connections: version " + std::to_string(live_->versionPort->open()) + ", database " +
         std::to_string(live_->databasePort->open());
    if (live_->lobby) t += ", halls " + std::to_string(live_->lobby->connections());
    t += "\n";
    if (live_->lobby) {
        auto halls = live_->lobby->survey();
        if (!halls) return refused("the halls did not answer");
        for (const auto& h : *halls)
            t += "hall \"" + h.name + "\": " + std::to_string(h.players) + " players, " +
                 std::to_string(h.groups) + " groups\n";
    } else {
        t += "halls disabled\n";
    }
    t += "requests (refused):";
    for (const auto& row : live_->counts->rows())
        t += " " + row.kind + " " + std::to_string(row.requests) + " (" +
             std::to_string(row.refused) + ");";
    t.back() = '\n';
    t += "accounts " + std::to_string(store_.count()) + "\n";
    return {true, t};
}

ControlReply ControlCommands::who(const std::string& hall) {
    if (!live_->lobby) return refused("the halls are disabled");
    auto halls = live_->lobby->survey();
    if (!halls) return refused("the halls did not answer");
    std::string t;
    bool found = hall.empty();
    for (const auto& h : *halls) {
        if (!hall.empty() && lowerCase(h.name) != lowerCase(hall)) continue;
        found = true;
        for (const auto& p : h.announced) t += h.name + "\t" + p.name + "\t" + p.address + "\n";
    }
    if (!found) return refused("no hall \"" + hall + "\"");
    return {true, t};
}

std::string ControlCommands::kickFromHalls(const std::string& name) {
    if (!live_->lobby) return "the halls are disabled";
    std::optional<bool> kicked = live_->lobby->kick(name);
    if (!kicked) return "the halls did not answer";
    return *kicked ? "kicked " + name + " from the halls" : name + " is in no hall";
}

ControlReply ControlCommands::kick(const std::string& name) {
    std::string what = kickFromHalls(name);
    return {what.starts_with("kicked"), what + "\n"};
}

ControlReply ControlCommands::news(const std::string& hall, const std::string& text) {
    if (!live_->lobby) return refused("the halls are disabled");
    std::optional<size_t> halls = live_->lobby->sendNews(hall, text);
    if (!halls) return refused("the halls did not answer");
    if (*halls == 0) return refused("no hall \"" + hall + "\"");
    return done("news sent to " + std::to_string(*halls) + (*halls == 1 ? " hall" : " halls"));
}

ControlReply ControlCommands::account(const std::vector<std::string>& w) {
    const std::string& sub = w[1];
    std::string name = w.size() > 2 ? w[2] : std::string();
    if (sub == "list" && w.size() <= 3) return list(name.empty() ? "*" : name);
    if (name.empty()) return {false, usage()};
    if (sub == "show" && w.size() == 3) return show(name);
    if (sub == "ban") return ban(name, {w.begin() + 3, w.end()});
    if (sub == "unban" && w.size() == 3) return unban(name);
    if (sub == "reset-password" && w.size() == 3) return resetPassword(name);
    if (sub == "set-figures" && w.size() > 3) return setFigures(name, {w.begin() + 3, w.end()});
    return {false, usage()};
}

ControlReply ControlCommands::show(const std::string& name) {
    auto a = store_.find(name);
    if (!a) return refused("no account \"" + name + "\"");
    std::string t = "name: " + a->loginName + "\n";
    t += "e-mail: " + a->email + "\n";
    t += "figures: " + figures(a->stats) + "\n";
    t += "logins: " + std::to_string(a->loginCounter) + "\n";
    t += "created: " + a->createdAt + "\n";
    t += "last login: " +
         (a->lastLoginAt.empty() ? "never" : a->lastLoginAt + " from " + a->lastLoginAddress) +
         "\n";
    t += "banned: " + banText(*a) + "\n";
    return {true, t};
}

ControlReply ControlCommands::list(const std::string& pattern) {
    std::vector<Account> accounts = store_.list(pattern, kListLimit + 1);
    std::string t;
    for (size_t i = 0; i < accounts.size() && i < kListLimit; ++i) {
        const Account& a = accounts[i];
        t += a.loginName + "\t" + std::to_string(a.stats.score) + "\t" + a.email +
             (banInForce(a, utcNow()) ? "\tbanned" : "") + "\n";
    }
    if (accounts.size() > kListLimit)
        t += "(the first " + std::to_string(kListLimit) + " only; give a pattern)\n";
    return {true, t};
}

ControlReply ControlCommands::ban(const std::string& name, const std::vector<std::string>& opts) {
    std::string until, reason;
    for (size_t i = 0; i < opts.size(); i += 2) {
        if (i + 1 >= opts.size()) return {false, usage()};
        if (opts[i] == "--until") {
            auto end = parseBanEnd(opts[i + 1]);
            if (!end) return refused("--until takes YYYY-MM-DD or YYYY-MM-DDTHH:MM:SSZ (UTC)");
            if (*end <= utcNow()) return refused("--until " + opts[i + 1] + " has passed");
            until = *end;
        } else if (opts[i] == "--reason") {
            reason = opts[i + 1];
        } else {
            return {false, usage()};
        }
    }
    auto a = store_.find(name);
    if (!a) return refused("no account \"" + name + "\"");
    if (!store_.setBan(a->id, true, until, reason)) return refused("the ban could not be stored");
    std::string t =
        "banned " + a->loginName + (until.empty() ? " until unbanned" : " until " + until);
    if (live_) {
        if (live_->signIns) live_->signIns->revoke(a->loginName);
        t += "; " + kickFromHalls(a->loginName);
    }
    return done(t);
}

ControlReply ControlCommands::unban(const std::string& name) {
    auto a = store_.find(name);
    if (!a) return refused("no account \"" + name + "\"");
    if (!store_.setBan(a->id, false, {}, {})) return refused("the ban could not be lifted");
    return done("unbanned " + a->loginName);
}

// The new password is mailed for good before it is stored, as a new account's is: a player is
// never left with a password nobody told him.
ControlReply ControlCommands::resetPassword(const std::string& name) {
    auto a = store_.find(name);
    if (!a) return refused("no account \"" + name + "\"");
    std::string password = generatePassword();
    auto hash = hashPassword(password, hashCost_);
    if (!hash) return refused("password hashing failed");
    std::string file = mailer_.outboxFile(a->loginName);
    std::string note;
    if (!mailer_.deliverPassword(a->email, a->loginName, password, file, note))
        return refused("the password was not changed: " + note);
    if (!store_.setPasswordHash(a->id, *hash)) {
        mailer_.discard(file);
        return refused("the password could not be stored; it is unchanged");
    }
    return done("new password for " + a->loginName + " mailed to " + a->email + " (" + note + ")");
}

ControlReply ControlCommands::setFigures(const std::string& name,
                                         const std::vector<std::string>& fields) {
    auto a = store_.find(name);
    if (!a) return refused("no account \"" + name + "\"");
    zrt::AccountStats s = a->stats;
    const std::pair<const char*, uint16_t*> known[] = {
        {"score", &s.score},         {"won", &s.won},
        {"lost", &s.lost},           {"quit", &s.quit},
        {"gemstones", &s.gemstones}, {"portrait", &s.portrait},
        {"country", &s.country},     {"year", &s.year},
        {"month", &s.month},         {"day", &s.day}};
    for (const std::string& f : fields) {
        size_t eq = f.find('=');
        auto value = eq == std::string::npos ? std::nullopt : figure(f.substr(eq + 1));
        auto it = std::find_if(std::begin(known), std::end(known),
                               [&](const auto& k) { return f.substr(0, eq) == k.first; });
        if (!value || it == std::end(known))
            return refused("not a FIELD=VALUE (0..65535) of a known field: " + f);
        *it->second = *value;
    }
    if (!store_.setStats(a->id, s)) return refused("the figures could not be stored");
    return done(a->loginName + ": " + figures(s));
}

ControlReply ControlCommands::auditLog(const std::string& count) {
    int n = kAuditDefault;
    if (!count.empty()) {
        auto v = figure(count);
        if (!v || *v == 0) return refused("audit takes a count from 1 to 65535");
        n = *v;
    }
    std::string t;
    for (const AuditEntry& e : store_.audit(n))
        t += e.at + "\t" + e.actor + "\t" + e.host + "\t" + e.action + "\t" + e.outcome + "\n";
    return {true, t};
}

}  // namespace zrtserver
