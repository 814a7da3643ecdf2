// Test support: a real zrtserver process on its own loopback address with a data folder in a
// temporary directory, and the lobby's side of each exchange through ServerExchange.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "tests/support/sign_in.h"

namespace zrttest {

// A fresh temporary folder, removed with its contents at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class ServerProcess {
  public:
    // `config`: the text of zrtserver.toml, or empty to let the server write its defaults.
    ServerProcess(std::string address, std::string dataDir, const std::string& config = "");
    ~ServerProcess();

    // Starts and waits (bounded) until both ports accept connections. The program is
    // ZRT_BIN_DIR/zrtserver, or the one $ZRTSERVER names (to measure another build).
    bool start();
    // Before start: the server runs with at most `n` descriptors.
    void limitDescriptors(int n) { descriptors_ = n; }
    // Stops it at once (SIGKILL), as a crash would.
    void kill();
    pid_t pid() const { return pid_; }
    // SIGTERM and a bounded wait for the exit; the exit status, or -1.
    int stop();
    const std::string& address() const { return address_; }
    const std::string& dataDir() const { return dataDir_; }
    std::string log() const;

  private:
    std::string address_;
    std::string dataDir_;
    pid_t pid_ = -1;
    int descriptors_ = 0;
};

// A configuration with cheap password hashes, a fixed grant of 5 and room for many new
// accounts from one address, merged with `extra` (whose keys win).
std::string testConfig(const std::string& extra = "");

// One exchange; the result convention of ServerExchange, the reply in `reply`.
int exchange(const std::string& host, int port, const std::vector<uint8_t>& request, int prefix,
             std::vector<uint8_t>* reply = nullptr);

std::optional<uint8_t> createAccount(const std::string& host, const std::string& name,
                                     const std::string& email);
int outboxCount(const std::string& dataDir);
std::optional<zrt::LoginReply> login(const std::string& host, const std::string& name,
                                     const zrt::AccountStats& stats, const std::string& password,
                                     int* replyBytes = nullptr);
std::vector<zrt::LadderEntry> ladder(const std::string& host);
// nullopt: no reply; a record with an empty picture URL: the prefix alone.
std::optional<zrt::BannerRecord> banner(const std::string& host);

// `zrtserver ctl --data DIR WORDS...`, as the user `uid` when not negative; its exit status
// (-1 when it did not end by itself) and what it printed.
struct CtlResult {
    int status = -1;
    std::string output;
};
CtlResult runCtl(const std::string& dataDir, const std::vector<std::string>& words, int uid = -1);

// A raw TCP connection for requests the lobby would never send.
int connectRaw(const std::string& host, int port);
void sendRaw(int fd, const std::vector<uint8_t>& bytes);
// Reads until the server closes (bounded wait); nullopt when it did not close in time.
std::optional<std::vector<uint8_t>> readUntilClosed(int fd);

}  // namespace zrttest
