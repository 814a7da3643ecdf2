// RequestHandler: turns one complete request of the version or the database port into its
// reply. Pure of sockets, so the listener stays about framing and time limits only. It also
// says which requests hash a password (they wait for the hashing workers) and what a request
// gets when those are too busy to take it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "server/account_service.h"
#include "server/request_counts.h"
#include "server/server_config.h"

namespace zrtserver {

enum class Port { Version, Database };

struct Handled {
    std::vector<uint8_t> reply;  // empty: close without a reply
    std::string what;            // the request's kind, for the log
    std::string note;            // the outcome, for the log (never a password)
    bool refused = false;        // a reply that is not the one asked for (see RequestCounts)
};

class RequestHandler {
  public:
    RequestHandler(const ServerConfig& config, AccountService& accounts)
        : config_(config), accounts_(accounts) {}

    // The full size of a request that starts with `firstByte`; nullopt for a request this port
    // does not take (the connection is then closed).
    static std::optional<size_t> requestSize(Port port, uint8_t firstByte);
    // Logins and new accounts hash a password.
    static bool hashes(Port port, uint8_t firstByte);

    // `address`: the peer's address, for the throttles and the halls' record of sign-ins.
    Handled handle(Port port, const std::vector<uint8_t>& request, const std::string& address);
    // The answer when a request cannot be served now (its workers are all busy and their queue
    // full): a refusal the lobby shows, or nothing (closed) for requests that have none.
    Handled busy(Port port, const std::vector<uint8_t>& request);
    // An answer given before the request waits for a worker, when it is decided already (a
    // login from an address that has used up its failed logins); nullopt otherwise.
    std::optional<Handled> screen(Port port, const std::vector<uint8_t>& request,
                                  const std::string& address);

    // Several lobby hosts: the version reply names the host this returns. Set before serving.
    void setHostChoice(std::function<std::string()> choice) { hostChoice_ = std::move(choice); }

    // Requests and refusals so far, of every answer given through the calls above.
    const RequestCounts& counts() const { return counts_; }

  private:
    Handled answer(Port port, const std::vector<uint8_t>& request, const std::string& address);
    Handled counted(Port port, const std::vector<uint8_t>& request, Handled handled);
    Handled version(const std::vector<uint8_t>& request);
    Handled databaseVersion(const std::vector<uint8_t>& request);
    Handled login(const std::vector<uint8_t>& request, const std::string& address);
    Handled newAccount(const std::vector<uint8_t>& request, const std::string& address);
    Handled ladder();
    Handled banner();

    const ServerConfig& config_;
    AccountService& accounts_;
    std::atomic<size_t> nextBanner_{0};
    RequestCounts counts_;
    std::function<std::string()> hostChoice_;
};

}  // namespace zrtserver
