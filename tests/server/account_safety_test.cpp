// Accounts that a crash, a full disk or a guesser cannot spoil: no account kept without its
// mail (the server killed during creation at random moments, the disk full), a refusal rather
// than silence for a login the server cannot store, failed logins throttled per address and
// per account without locking the player out at his own address, and new accounts throttled
// per address and per mailbox.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <random>
#include <thread>

#include "lobby/net/account_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "tests/support/raw_peer.h"
#include "tests/support/server_process.h"
#include "tests/support/server_requests.h"

namespace zrttest {
namespace {

zrt::AccountStats fresh() {
    return zrt::newAccountStats(1, 1, 2026, 1, 1);
}

bool logsIn(const std::string& host, const std::string& dataDir, const std::string& name) {
    std::optional<std::string> password = mailedPassword(dataDir, name);
    if (!password) return false;
    std::optional<zrt::LoginReply> r = login(host, name, fresh(), *password);
    return r && r->status == zrt::kLoginAccepted;
}

// A login from `source`: its status, or nothing when the server closed without a reply.
std::optional<uint8_t> loginFrom(const std::string& source, const std::string& host,
                                 const std::string& name, const std::string& password) {
    std::optional<std::vector<uint8_t>> reply = askFrom(
        source, host, zrt::kDatabasePort, zrt::encodeLoginRequest({name, fresh(), 1, 0, password}));
    if (!reply) return std::nullopt;
    std::optional<zrt::LoginReply> r = zrt::decodeLoginReply(reply->data(), reply->size());
    if (!r) return std::nullopt;
    return r->status;
}

std::optional<uint8_t> createFrom(const std::string& source, const std::string& host,
                                  const std::string& name, const std::string& email) {
    std::optional<std::vector<uint8_t>> reply = askFrom(
        source, host, zrt::kDatabasePort, zrt::encodeNewAccountRequest({name, fresh(), email}));
    if (!reply || reply->empty()) return std::nullopt;
    return (*reply)[0];
}

TEST(AccountSafety, KillDuringCreationLeavesNoAccountWithoutItsMail) {
    TempDir tmp;
    const std::string host = "127.0.4.40";
    std::mt19937 random(20261208);
    std::vector<std::string> acknowledged, asked;
    for (int round = 0; round < 4; ++round) {
        ServerProcess server(host, tmp.path(), round == 0 ? testConfig() : "");
        ASSERT_TRUE(server.start()) << server.log();
        std::vector<std::thread> creators;
        std::mutex mutex;
        for (int i = 0; i < 12; ++i) {
            std::string name = "k" + std::to_string(round) + "x" + std::to_string(i);
            asked.push_back(name);
            creators.emplace_back([&, name] {
                if (createAccount(host, name, name + "@example.org") == 0) {
                    std::lock_guard lock(mutex);
                    acknowledged.push_back(name);
                }
            });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 40));
        server.kill();
        for (std::thread& t : creators) t.join();
    }
    ServerProcess server(host, tmp.path());
    ASSERT_TRUE(server.start()) << server.log();
    for (const std::string& name : acknowledged)
        EXPECT_TRUE(logsIn(host, server.dataDir(), name)) << name << " was acknowledged";
    // A name is taken only with its mail: taking it again fails exactly when it has one.
    for (const std::string& name : asked) {
        bool mailed = logsIn(host, server.dataDir(), name);
        std::optional<uint8_t> again = createAccount(host, name, "again@example.org");
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, mailed ? 1 : 0) << name;
    }
}

// A small tmpfs of the test's own, in a mount namespace of its own; skipped where the test
// may not mount.
class SmallDisk {
  public:
    SmallDisk() {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return;
        mounted_ = ::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, "size=2m") == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    std::string path() const { return dir_.path(); }
    // Writes a filler until the disk is full; removing it frees the space again.
    void fill() {
        std::ofstream out(path() + "/filler", std::ios::binary);
        std::vector<char> block(4096, 'f');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
    }
    void free() { ::unlink((path() + "/filler").c_str()); }

  private:
    TempDir dir_;
    bool mounted_ = false;
};

TEST(AccountSafety, AFullDiskKeepsNoAccountWithoutItsMailAndRefusesLogins) {
    SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    const std::string host = "127.0.4.41";
    ServerProcess server(host, disk.path() + "/data", testConfig());
    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_EQ(createAccount(host, "early", "early@example.org"), 0);
    disk.fill();
    std::vector<std::string> refused;
    for (int i = 0; i < 6; ++i) {
        std::string name = "full" + std::to_string(i);
        std::optional<uint8_t> outcome = createAccount(host, name, name + "@example.org");
        ASSERT_TRUE(outcome) << "a creation on a full disk gets an answer";
        if (*outcome == 3) refused.push_back(name);
        if (*outcome == 0) {
            EXPECT_TRUE(mailedPassword(server.dataDir(), name)) << name;
        }
    }
    EXPECT_FALSE(refused.empty());
    // A login the server cannot store is refused in words the lobby shows.
    std::optional<std::string> password = mailedPassword(server.dataDir(), "early");
    ASSERT_TRUE(password);
    for (int i = 0; i < 5; ++i) {
        std::optional<zrt::LoginReply> r = login(host, "early", fresh(), *password);
        ASSERT_TRUE(r) << "a login on a full disk gets an answer";
        EXPECT_TRUE(r->status == zrt::kLoginAccepted || r->status == zrt::kLoginDataNotRecognised);
    }
    // With room again, none of the refused names is taken, and the next start finds nothing
    // left over.
    disk.free();
    for (const std::string& name : refused)
        EXPECT_EQ(createAccount(host, name, "later@example.org"), 0) << name;
    server.stop();
    ASSERT_TRUE(server.start()) << server.log();
    EXPECT_EQ(server.log().find("whose creation did not finish"), std::string::npos);
    for (const std::string& name : refused) EXPECT_TRUE(logsIn(host, server.dataDir(), name));
}

TEST(AccountSafety, FailedLoginsAreThrottledWithoutLockingThePlayerOut) {
    const std::string host = "127.0.4.42";
    ServerProcess server(host, "",
                         testConfig("[accounts]\nfailed_logins_per_address = 3\n"
                                    "failed_logins_per_account = 5\n"
                                    "failed_login_refill_seconds = 3600\n"));
    ASSERT_TRUE(server.start()) << server.log();
    ASSERT_EQ(createAccount(host, "owner", "owner@example.org"), 0);
    std::string password = mailedPassword(server.dataDir(), "owner").value_or("");
    ASSERT_EQ(loginFrom("127.0.0.1", host, "owner", password), zrt::kLoginAccepted);

    // One address: three guesses are judged, the fourth is not even looked at.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loginFrom("127.0.25.1", host, "owner", "guess"), zrt::kLoginWrongPassword);
    EXPECT_EQ(loginFrom("127.0.25.1", host, "owner", password), std::nullopt);
    // Many addresses: the account takes five failures from elsewhere, then refuses them.
    EXPECT_EQ(loginFrom("127.0.25.2", host, "owner", "guess"), zrt::kLoginWrongPassword);
    EXPECT_EQ(loginFrom("127.0.25.3", host, "owner", "guess"), zrt::kLoginWrongPassword);
    EXPECT_EQ(loginFrom("127.0.25.4", host, "owner", "guess"), std::nullopt);
    // The owner at his own address is not locked out, nor is anyone at another account.
    EXPECT_EQ(loginFrom("127.0.0.1", host, "owner", password), zrt::kLoginAccepted);
    ASSERT_EQ(createAccount(host, "other", "other@example.org"), 0);
    std::string otherPassword = mailedPassword(server.dataDir(), "other").value_or("");
    EXPECT_EQ(loginFrom("127.0.25.5", host, "other", otherPassword), zrt::kLoginAccepted);
}

TEST(AccountSafety, NewAccountsAreThrottledPerAddressAndPerMailbox) {
    const std::string host = "127.0.4.43";
    ServerProcess server(host, "",
                         testConfig("[accounts]\nnew_accounts_per_address = 2\n"
                                    "new_accounts_per_email = 2\n"
                                    "new_account_refill_seconds = 3600\n"));
    ASSERT_TRUE(server.start()) << server.log();
    const std::string a = "127.0.26.1", b = "127.0.26.2", c = "127.0.26.3";
    EXPECT_EQ(createFrom(a, host, "n1", "one@example.org"), 0);
    EXPECT_EQ(createFrom(a, host, "n2", "two@example.org"), 0);
    EXPECT_EQ(createFrom(a, host, "n3", "three@example.org"), 3) << "the address's third";
    EXPECT_EQ(createFrom(b, host, "n4", "ONE@example.org"), 0);
    EXPECT_EQ(createFrom(c, host, "n5", "one@example.org"), 3) << "the mailbox's third";
    // Names already taken cost nothing: a player may try several.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(createFrom(c, host, "n1", "x@example.org"), 1);
    EXPECT_EQ(createFrom(c, host, "n6", "six@example.org"), 0);
    EXPECT_EQ(outboxCount(server.dataDir()), 4);
}

}  // namespace
}  // namespace zrttest
