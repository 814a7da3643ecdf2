// Loading zrtserver.toml. toml++ reports parse errors as exceptions; they are caught here and
// turned into a returned reason.
#include "server/server_config.h"

#include <toml++/toml.h>

#include <asio/ip/address_v4.hpp>
#include <fstream>
#include <sstream>

namespace zrtserver {

namespace {

bool readInt(const toml::table& t, const char* key, int lo, int hi, int& out, std::string& err) {
    const toml::node* n = t.get(key);
    if (!n) return true;
    auto v = n->value<int64_t>();
    if (!v || *v < lo || *v > hi) {
        err = std::string(key) + " must be a whole number from " + std::to_string(lo) + " to " +
              std::to_string(hi);
        return false;
    }
    out = static_cast<int>(*v);
    return true;
}

bool readText(const toml::table& t, const char* key, std::string& out, std::string& err) {
    const toml::node* n = t.get(key);
    if (!n) return true;
    auto v = n->value<std::string>();
    if (!v) {
        err = std::string(key) + " must be a text";
        return false;
    }
    out = *v;
    return true;
}

const toml::table* section(const toml::table& root, const char* name, std::string& err) {
    const toml::node* n = root.get(name);
    if (!n) return nullptr;
    if (!n->is_table()) err = std::string("[") + name + "] must be a table";
    return n->as_table();
}

bool loadServer(const toml::table& root, ServerConfig& c, std::string& err) {
    const toml::table* t = section(root, "server", err);
    if (!t) return err.empty();
    if (!readText(*t, "listen_address", c.listen.address, err) ||
        !readText(*t, "database_address", c.listen.databaseAddress, err) ||
        !readInt(*t, "request_timeout_seconds", 1, 3600, c.listen.requestTimeoutSeconds, err) ||
        !readInt(*t, "max_connections", 1, 100000, c.listen.maxConnections, err) ||
        !readInt(*t, "workers", 1, 64, c.listen.workers, err) ||
        !readText(*t, "home_page", c.news.homePage, err) || !readText(*t, "news", c.news.news, err))
        return false;
    asio::error_code ec;
    asio::ip::make_address_v4(c.listen.address, ec);
    if (ec) {
        err = "listen_address must be a dotted IPv4 address";
        return false;
    }
    if (c.news.homePage.size() > 79) {
        err = "home_page is longer than 79 characters";
        return false;
    }
    if (c.news.news.size() > 511) {
        err = "news is longer than 511 characters";
        return false;
    }
    return true;
}

bool loadAccounts(const toml::table& root, ServerConfig& c, std::string& err) {
    const toml::table* t = section(root, "accounts", err);
    if (!t) return err.empty();
    std::string cost = "interactive";
    if (!readText(*t, "password_hash", cost, err)) return false;
    if (cost == "interactive")
        c.accounts.hashCost = HashCost::Interactive;
    else if (cost == "moderate")
        c.accounts.hashCost = HashCost::Moderate;
    else if (cost == "min")
        c.accounts.hashCost = HashCost::Min;
    else {
        err = "password_hash must be \"interactive\", \"moderate\" or \"min\"";
        return false;
    }
    return true;
}

bool loadGemstones(const toml::table& root, ServerConfig& c, std::string& err) {
    const toml::table* t = section(root, "gemstones", err);
    if (!t) return err.empty();
    std::string policy = "daily";
    int grant = c.gemstones.grant;
    if (!readText(*t, "policy", policy, err) || !readInt(*t, "grant", 0, 20, grant, err))
        return false;
    if (policy == "fixed")
        c.gemstones.policy = GrantPolicy::Fixed;
    else if (policy == "daily")
        c.gemstones.policy = GrantPolicy::Daily;
    else {
        err = "gemstones policy must be \"fixed\" or \"daily\"";
        return false;
    }
    c.gemstones.grant = static_cast<uint8_t>(grant);
    return true;
}

bool loadMail(const toml::table& root, ServerConfig& c, std::string& err) {
    const toml::table* t = section(root, "mail", err);
    if (!t) return err.empty();
    return readText(*t, "from", c.mail.from, err) &&
           readText(*t, "smtp_url", c.mail.smtpUrl, err) &&
           readText(*t, "smtp_user", c.mail.smtpUser, err) &&
           readText(*t, "smtp_password", c.mail.smtpPassword, err);
}

bool loadBanners(const toml::table& root, ServerConfig& c, std::string& err) {
    const toml::node* n = root.get("banner");
    if (!n) return true;
    const toml::array* arr = n->as_array();
    if (!arr) {
        err = "banner must be an array of tables ([[banner]])";
        return false;
    }
    for (const toml::node& item : *arr) {
        const toml::table* t = item.as_table();
        if (!t) {
            err = "each [[banner]] must be a table";
            return false;
        }
        zrt::BannerRecord b;
        if (!readText(*t, "picture_url", b.pictureUrl, err) ||
            !readText(*t, "click_url", b.clickUrl, err))
            return false;
        if (b.pictureUrl.empty() || b.pictureUrl.size() > 147 || b.clickUrl.size() > 147) {
            err = "a banner needs a picture_url, and each URL at most 147 characters";
            return false;
        }
        c.banners.push_back(b);
    }
    return true;
}

}  // namespace

std::string defaultConfigText() {
    return R"toml(# zrtserver configuration. Written with defaults when missing; edit and restart.

[server]
# The IPv4 address on which the version (1695) and database (1694) ports listen.
listen_address = "127.0.0.1"
# The address the version server announces as the database server; empty: listen_address.
database_address = ""
# The lobby's home page (at most 79 characters) and the news it shows at start (511).
home_page = "http://127.0.0.1/"
news = ""
# A connection whose request is not complete within this many seconds is closed.
request_timeout_seconds = 10
max_connections = 1000
# Threads doing request work (password hashing, database, mail).
workers = 2

[accounts]
# Cost of the argon2id password hash: "interactive" (libsodium's interactive limits),
# "moderate", or "min" (only for tests and load measurements).
password_hash = "interactive"

[gemstones]
# "fixed": every accepted login grants `grant` gemstones; "daily": only the first accepted
# login of each day (UTC). grant is 0 to 20.
policy = "daily"
grant = 1

[mail]
# New passwords are written as messages into DIR/outbox/. With smtp_url set
# (e.g. "smtps://mail.example.org:465") they are also sent through that server.
from = "zrtserver@localhost"
smtp_url = ""
smtp_user = ""
smtp_password = ""

# Banner records offered in turn (none by default):
# [[banner]]
# picture_url = "http://127.0.0.1/banner.gif"
# click_url = "http://127.0.0.1/"
)toml";
}

std::optional<ServerConfig> parseConfig(const std::string& text, std::string& error) {
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& e) {
        std::ostringstream os;
        os << e.description() << " (line " << e.source().begin.line << ")";
        error = os.str();
        return std::nullopt;
    }
    ServerConfig c;
    if (!loadServer(root, c, error) || !loadAccounts(root, c, error) ||
        !loadGemstones(root, c, error) || !loadMail(root, c, error) || !loadBanners(root, c, error))
        return std::nullopt;
    return c;
}

std::optional<ServerConfig> loadConfig(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseConfig(text.str(), error);
}

}  // namespace zrtserver
