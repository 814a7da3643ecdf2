// ControlCommands: what an operator can do, for the control socket of a running server and
// for `zrtserver ctl` with the server stopped (then only the account commands and the audit
// are at hand). Every change (kick, news, reload, ban, unban, reset-password, set-figures) is
// logged with the local user who asked and kept in the store's audit table.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "server/account_store.h"
#include "server/connection_limits.h"
#include "server/control_wire.h"
#include "server/mailer.h"
#include "server/request_counts.h"
#include "server/server_config.h"
#include "server/sign_ins.h"

namespace zrtserver {

class LobbyRole;

// What a running server offers beside its account store.
struct LiveServer {
    std::chrono::steady_clock::time_point started;
    LobbyRole* lobby = nullptr;  // null: the halls are disabled
    const ConnectionLimits* versionPort = nullptr;
    const ConnectionLimits* databasePort = nullptr;
    const RequestCounts* counts = nullptr;
    SignIns* signIns = nullptr;
    std::function<std::string()> reload;  // what SIGHUP does; says what it did
};

class ControlCommands {
  public:
    // `host`: who carries the commands out, for the audit (the server's address, or "ctl").
    // `live`: null when the server is stopped.
    ControlCommands(AccountStore& store, Mailer& mailer, HashCost hashCost, std::string host,
                    const LiveServer* live);

    ControlReply run(const std::vector<std::string>& words, const std::string& actor);

    // The commands that work with the server stopped.
    static bool worksOffline(const std::vector<std::string>& words);
    static std::string usage();

  private:
    ControlReply status();
    ControlReply who(const std::string& hall);
    ControlReply kick(const std::string& name);
    ControlReply news(const std::string& hall, const std::string& text);
    ControlReply account(const std::vector<std::string>& words);
    ControlReply show(const std::string& name);
    ControlReply list(const std::string& pattern);
    ControlReply ban(const std::string& name, const std::vector<std::string>& options);
    ControlReply unban(const std::string& name);
    ControlReply resetPassword(const std::string& name);
    ControlReply setFigures(const std::string& name, const std::vector<std::string>& fields);
    ControlReply auditLog(const std::string& count);
    // Takes the player of `name` out of the halls; says what happened.
    std::string kickFromHalls(const std::string& name);

    AccountStore& store_;
    Mailer& mailer_;
    HashCost hashCost_;
    std::string host_;
    const LiveServer* live_;
};

// A ban's end as the store keeps it, from YYYY-MM-DD (its start) or YYYY-MM-DDTHH:MM:SSZ;
// nullopt when it is neither.
std::optional<std::string> parseBanEnd(const std::string& text);

}  // namespace zrtserver
