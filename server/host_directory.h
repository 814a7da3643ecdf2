// HostDirectory: what the lobby hosts sharing one PostgreSQL store tell each other through it,
// on a connection of its own. Each host renews its row (its address and the room it has) every
// second; a host not heard from for kHostTimeout is left out. Each host claims the lobby names
// its halls take; a name claimed later on another host is no longer this host's to hold.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "server/pg_connection.h"

namespace zrtserver {

class HostDirectory {
  public:
    static constexpr auto kHostTimeout = std::chrono::seconds(5);

    explicit HostDirectory(const std::string& url) : db_(url) {}

    bool record(const std::string& address, int room);
    // The live host with the most room; nullopt when none is known (or the store is away).
    std::optional<std::string> roomiest();
    bool claim(const std::string& nameKey, const std::string& address);
    // Of `nameKeys` (lower-case lobby names), those whose latest claim is another host's.
    std::vector<std::string> claimedElsewhere(const std::string& address,
                                              const std::vector<std::string>& nameKeys);
    // Of `nameKeys`, the names of accounts banned now.
    std::vector<std::string> banned(const std::vector<std::string>& nameKeys,
                                    const std::string& now);

  private:
    PgConnection db_;
};

}  // namespace zrtserver
