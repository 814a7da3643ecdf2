// ServerProcess: a real zrtserver for a test, on a loopback address of the test's own, with its
// own data folder (a temporary one unless given), started as a separate process and stopped
// when the object dies. Given a network namespace, the server runs in it (through `ip netns
// exec`, which becomes the server), at an address of that namespace the test reaches over a
// link. Plain C++, for the server tests, the window tests and the benchmarks alike.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zrttest {

// A configuration with cheap password hashes, a fixed grant of 5 and room for many new
// accounts from one address, merged with `extra` (whose keys win).
std::string testConfig(const std::string& extra = "");

class ServerProcess {
  public:
    // `dataDir`: the server's data folder, or empty for a temporary one of its own.
    // `config`: the text of zrtserver.toml, or empty to let the server write its defaults.
    explicit ServerProcess(std::string address, std::string dataDir = "",
                           const std::string& config = "", std::string netns = "");
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts and waits (bounded) until both ports and the control socket are up. The program
    // is ZRT_BIN_DIR/zrtserver, or the one $ZRTSERVER names (to measure another build).
    bool start();
    // Before start: the server runs with at most `n` descriptors.
    void limitDescriptors(int n) { descriptors_ = n; }
    // Stops it at once (SIGKILL), as a crash would.
    void kill();
    // SIGTERM and a bounded wait for the exit; the exit status, or -1.
    int stop();
    // SIGSTOP / SIGCONT: the server falls silent (its connections stay open) and comes back.
    bool pause();
    bool resume();

    // Writes the default configuration (by starting once) when there is none, and replaces
    // `from` with `to` in it. The server is left stopped; start() it afterwards.
    bool editConfig(const std::string& from, const std::string& to);
    // Appends a [[banner]] record to the configuration (written first when missing); records
    // are offered in the order they were added. The server is left stopped.
    bool addBanner(const std::string& pictureUrl, const std::string& clickUrl);

    pid_t pid() const { return pid_; }
    const std::string& address() const { return address_; }
    const std::string& dataDir() const { return dataDir_; }
    // What the server wrote to its standard error.
    std::string log() const;
    // Waits (bounded) until the log holds `text`.
    bool logged(const std::string& text) const;
    // How often the log holds `text`.
    size_t logCount(const std::string& text) const;

  private:
    bool writeDefaultConfig();

    std::optional<TempDir> ownDir_;
    std::string address_;
    std::string dataDir_;
    std::string netns_;
    pid_t pid_ = -1;
    int descriptors_ = 0;
};

// A server with testConfig(extra) in a temporary data folder: what the hall tests start.
class HallServer : public ServerProcess {
  public:
    explicit HallServer(const std::string& address, const std::string& extra = "")
        : ServerProcess(address, "", testConfig(extra)) {}
};

// `zrtserver ctl --data DIR WORDS...`, as the user `uid` when not negative; its exit status
// (-1 when it did not end by itself) and what it printed.
struct CtlResult {
    int status = -1;
    std::string output;
};
CtlResult runCtl(const std::string& dataDir, const std::vector<std::string>& words, int uid = -1);

}  // namespace zrttest
