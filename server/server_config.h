// The server's configuration, read from DIR/zrtserver.toml (written with defaults when
// missing). Each table of the file has its own loader in server_config.cpp; a new section
// (halls, for one) adds a struct here and a loader there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/net/banner_record.h"
#include "playnet/session_desc.h"

namespace zrtserver {

struct ListenConfig {
    std::string address = "127.0.0.1";  // where both ports listen
    std::string databaseAddress;        // announced by the version server; empty: `address`
    int requestTimeoutSeconds = 10;     // from accepting to the work's start, and for the reply
    int maxConnections = 1000;          // on each of the two ports; beyond it the longest idle
                                        // one is closed, or the newcomer when none is idle
    int maxConnectionsPerAddress = 20;  // from one peer address on each port
    int workers = 0;                    // threads for logins and new accounts (hashing, mail);
                                        // 0: one per core
    int hashQueue = 32;                 // logins and new accounts waiting for those threads
};

struct NewsConfig {
    std::string homePage = "http://127.0.0.1/";
    std::string news;
};

enum class HashCost { Standard, Interactive, Moderate, Min };

// The throttles are token buckets: `burst` attempts, and one more every `refill` seconds.
struct AccountsConfig {
    HashCost hashCost = HashCost::Standard;
    int failedLoginsPerAddress = 10;  // failed logins from one peer address
    int failedLoginsPerAccount = 20;  // failed logins on one account, from addresses other
                                      // than the one of its last accepted login
    int failedLoginRefillSeconds = 60;
    int newAccountsPerAddress = 3;  // new accounts asked for from one peer address
    int newAccountsPerEmail = 3;    // new accounts mailed to one e-mail address
    int newAccountRefillSeconds = 1200;
};

enum class GrantPolicy { Fixed, Daily };

struct GemstoneConfig {
    GrantPolicy policy = GrantPolicy::Daily;
    uint8_t grant = 1;  // 0..20
};

struct MailConfig {
    std::string from = "zrtserver@localhost";
    std::string smtpUrl;  // empty: messages go to DIR/outbox only
    std::string smtpUser;
    std::string smtpPassword;
};

// Where the accounts live: empty, the data folder's SQLite database; a postgresql:// URL, a
// PostgreSQL database that several lobby hosts may share.
struct DatabaseConfig {
    std::string url;
};

inline constexpr size_t kMaxHalls = 10;             // the client lists ten
inline constexpr size_t kMaxHallPlayers = 1000;     // client players in one hall
inline constexpr size_t kMaxHallNameChars = 200;    // the client shows "%s  ( %d / %d )" in 256
inline constexpr size_t kMaxEntryNewsChars = 4095;  // the client's news buffer, without the NUL

// One hall the lobby role offers: a playnet session of the hall application.
struct HallConfig {
    std::string name;
    uint32_t kind = 5;         // the session's first user field: 0, 1, 2, 10 or any other value
    uint32_t maxPlayers = 50;  // the session's maximum, the server player included
};

// The lobby role: the halls on TCP `port` at the listen address.
struct HallsConfig {
    bool enabled = true;
    int port = playnet::kDefaultPort;
    std::string serverPlayerName = "ZRTH Server";
    std::string entryNews;              // sent to each player right after its welcome; empty: none
    int messageRate = 100;              // messages per second a client may send, sustained
    int messageBurst = 200;             // and in a burst
    int maxConnections = 1000;          // on the hall port; beyond it closed at once
    int maxConnectionsPerAddress = 20;  // from one peer address
    int frameTimeoutSeconds = 10;       // from a frame's first byte to its last
    bool requireSignIn = true;          // a hall name needs a recent login from its address
    int signInValidSeconds = 1800;      // how long a login (or a stay in the halls) vouches
    std::vector<HallConfig> halls;      // empty in the file: the default five
};

// The halls offered when the configuration names none.
std::vector<HallConfig> defaultHalls();

struct ServerConfig {
    ListenConfig listen;
    HallsConfig halls;
    NewsConfig news;
    AccountsConfig accounts;
    GemstoneConfig gemstones;
    MailConfig mail;
    DatabaseConfig database;
    std::vector<zrt::BannerRecord> banners;

    std::string announcedAddress() const {
        return listen.databaseAddress.empty() ? listen.address : listen.databaseAddress;
    }
};

// The text written for a data folder that has no configuration yet.
std::string defaultConfigText();

// Reads the file; on failure returns nullopt and a readable reason in `error`.
std::optional<ServerConfig> loadConfig(const std::string& path, std::string& error);
std::optional<ServerConfig> parseConfig(const std::string& text, std::string& error);

}  // namespace zrtserver
