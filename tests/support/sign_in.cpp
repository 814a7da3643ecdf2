// Signing test players in, and reading their mailed passwords.
#include "tests/support/sign_in.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "lobby/net/account_messages.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/server_exchange.h"

namespace zrttest {

namespace {

std::optional<std::vector<uint8_t>> exchangeWith(const std::string& host,
                                                 const std::vector<uint8_t>& request, int prefix) {
    zrt::ServerExchange ex(host, zrt::kDatabasePort);
    ex.setRequest(request);
    ex.setPrefixWidth(prefix);
    if (ex.run() <= 0) return std::nullopt;
    return ex.reply();
}

// The figures the server holds for `name` (a login must not report fewer games), or those
// of a new account.
zrt::AccountStats heldFigures(const std::string& host, const std::string& name) {
    zrt::AccountStats fresh = zrt::newAccountStats(1, 1, 2026, 1, 1);
    std::optional<std::vector<uint8_t>> reply = exchangeWith(host, zrt::encodeLadderRequest(), 0);
    if (!reply) return fresh;
    for (const zrt::LadderEntry& e : zrt::decodeLadderReply(reply->data(), reply->size()))
        if (e.loginName == name) return e.stats;
    return fresh;
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
    for (const auto& e : std::filesystem::directory_iterator(dataDir + "/outbox", ec)) {
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
    if (!mailedPassword(dataDir, name)) {
        zrt::NewAccountRequest create{name, zrt::newAccountStats(1, 1, 2026, 1, 1),
                                      name + "@example.org"};
        std::optional<std::vector<uint8_t>> reply =
            exchangeWith(host, zrt::encodeNewAccountRequest(create), 0);
        if (!reply || zrt::decodeNewAccountOutcome(reply->data(), reply->size()) != 0) return false;
    }
    std::optional<std::string> password = mailedPassword(dataDir, name);
    if (!password) return false;
    zrt::LoginRequest login{name, heldFigures(host, name), 1, 0, *password};
    std::optional<std::vector<uint8_t>> reply =
        exchangeWith(host, zrt::encodeLoginRequest(login), 2);
    if (!reply) return false;
    std::optional<zrt::LoginReply> decoded = zrt::decodeLoginReply(reply->data(), reply->size());
    return decoded && decoded->status < 200;
}

}  // namespace zrttest
