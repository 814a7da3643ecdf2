// The lobby's requests to zrtserver, its outbox, and signing test players in.
#include "tests/support/server_requests.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "lobby/net/account_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/server_exchange.h"

namespace zrttest {

namespace fs = std::filesystem;

int exchange(const std::string& host, int port, const std::vector<uint8_t>& request, int prefix,
             std::vector<uint8_t>* reply) {
    zrt::ServerExchange ex(host, port);
    ex.setRequest(request);
    ex.setPrefixWidth(prefix);
    int r = ex.run();
    if (reply) *reply = ex.reply();
    return r;
}

std::optional<uint8_t> createAccount(const std::string& host, const std::string& name,
                                     const std::string& email) {
    zrt::NewAccountRequest req{name, zrt::newAccountStats(3, 42, 2024, 5, 17), email};
    std::vector<uint8_t> reply;
    if (exchange(host, zrt::kDatabasePort, zrt::encodeNewAccountRequest(req), 0, &reply) <= 0)
        return std::nullopt;
    return zrt::decodeNewAccountOutcome(reply.data(), reply.size());
}

int outboxCount(const std::string& dataDir) {
    int n = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dataDir + "/outbox", ec))
        if (e.path().extension() == ".eml") ++n;
    return n;
}

std::optional<zrt::LoginReply> login(const std::string& host, const std::string& name,
                                     const zrt::AccountStats& stats, const std::string& password,
                                     int* replyBytes) {
    zrt::LoginRequest req{name, stats, 1, 0, password};
    std::vector<uint8_t> reply;
    int r = exchange(host, zrt::kDatabasePort, zrt::encodeLoginRequest(req), 2, &reply);
    if (replyBytes) *replyBytes = r;
    if (r <= 0) return std::nullopt;
    return zrt::decodeLoginReply(reply.data(), reply.size());
}

std::vector<zrt::LadderEntry> ladder(const std::string& host) {
    std::vector<uint8_t> reply;
    if (exchange(host, zrt::kDatabasePort, zrt::encodeLadderRequest(), 0, &reply) <= 0) return {};
    return zrt::decodeLadderReply(reply.data(), reply.size());
}

std::optional<zrt::BannerRecord> banner(const std::string& host) {
    std::vector<uint8_t> reply;
    int r = exchange(host, zrt::kDatabasePort, zrt::encodeBannerRequest(), 2, &reply);
    if (r <= 0) return std::nullopt;
    if (r == 2) return zrt::BannerRecord{};
    return zrt::decodeBannerRecord(reply.data(), reply.size());
}

namespace {

// The figures the server holds for `name` (a login must not report fewer games), or those
// of a new account.
zrt::AccountStats heldFigures(const std::string& host, const std::string& name) {
    for (const zrt::LadderEntry& e : ladder(host))
        if (e.loginName == name) return e.stats;
    return zrt::newAccountStats(1, 1, 2026, 1, 1);
}

}  // namespace

std::optional<std::string> mailedPassword(const std::string& dataDir, const std::string& name) {
    // Names are one account regardless of case.
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    const std::string wanted = lower("Login name: " + name);
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dataDir + "/outbox", ec)) {
        if (e.path().extension() != ".eml") continue;
        std::ifstream in(e.path());
        std::string line;
        bool mine = false;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (lower(line) == wanted) mine = true;
            if (mine && line.rfind("Password: ", 0) == 0) return line.substr(10);
        }
    }
    return std::nullopt;
}

bool signIn(const std::string& host, const std::string& dataDir, const std::string& name) {
    if (!mailedPassword(dataDir, name) && createAccount(host, name, name + "@example.org") != 0)
        return false;
    std::optional<std::string> password = mailedPassword(dataDir, name);
    if (!password) return false;
    std::optional<zrt::LoginReply> reply = login(host, name, heldFigures(host, name), *password);
    return reply && reply->status < 200;
}

}  // namespace zrttest
