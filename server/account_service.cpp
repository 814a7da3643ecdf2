// Account creation and login.
#include "server/account_service.h"

#include <algorithm>

#include "lobby/net/request_code.h"
#include "server/login_policy.h"
#include "server/password_hash.h"

namespace zrtserver {

bool isValidLoginName(const std::string& name) {
    if (name.empty() || name.size() > zrt::kLoginNameMax) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return c > ' ' && static_cast<unsigned char>(c) < 0x7f; });
}

zrt::NewAccountOutcome AccountService::createAccount(const zrt::NewAccountRequest& request,
                                                     std::string& note) {
    if (!isValidLoginName(request.loginName)) {
        note = "login name not acceptable";
        return zrt::NewAccountOutcome::NameTaken;
    }
    if (!isDeliverableAddress(request.email)) {
        note = "e-mail address not deliverable";
        return zrt::NewAccountOutcome::MailFailed;
    }
    if (table_.find(request.loginName)) {
        note = "name taken";
        return zrt::NewAccountOutcome::NameTaken;
    }
    std::string password = generatePassword();
    auto hash = hashPassword(password, config_.accounts.hashCost);
    if (!hash) {
        note = "password hashing failed";
        return zrt::NewAccountOutcome::MailFailed;
    }
    Account account;
    account.loginName = request.loginName;
    account.email = request.email;
    account.passwordHash = *hash;
    // A new account starts from the new-account figures whatever was sent, keeping the
    // player's choice of portrait and country and the date.
    const zrt::AccountStats& s = request.stats;
    account.stats = zrt::newAccountStats(s.portrait, s.country, s.year, s.month, s.day);
    account.loginCounter = 1;
    switch (table_.insert(account)) {
        case InsertResult::NameTaken:
            note = "name taken";
            return zrt::NewAccountOutcome::NameTaken;
        case InsertResult::Failed:
            note = "database error";
            return zrt::NewAccountOutcome::MailFailed;
        case InsertResult::Created:
            break;
    }
    std::string mailNote;
    if (!mailer_.deliverPassword(request.email, request.loginName, password, mailNote)) {
        table_.remove(account.id);
        note = "not created: " + mailNote;
        return zrt::NewAccountOutcome::MailFailed;
    }
    note = "created; " + mailNote;
    return zrt::NewAccountOutcome::Created;
}

LoginResult AccountService::login(const zrt::LoginRequest& request, std::string& note) {
    LoginResult result;
    auto account = table_.find(request.loginName);
    if (!account) {
        note = "unknown name";
        result.status = zrt::kLoginUnknownName;
        return result;
    }
    if (!verifyPassword(account->passwordHash, request.password)) {
        note = "wrong password";
        result.status = zrt::kLoginWrongPassword;
        return result;
    }
    if (!plausibleLogin(account->stats, request.stats)) {
        note = "figures not plausible";
        result.status = zrt::kLoginDataNotRecognised;
        return result;
    }
    std::string today = utcDay();
    uint8_t grant = grantFor(config_.gemstones, account->lastGrantDay, today);
    zrt::AccountStats stored = request.stats;
    // The lobby adds the grant to the profile once it has the reply; keep the same sum here.
    stored.gemstones = static_cast<uint16_t>(std::min<uint32_t>(stored.gemstones + grant, 0xFFFF));
    if (!table_.recordLogin(account->id, stored, static_cast<uint8_t>(request.loginCounter + 1),
                            request.lobbyByte, grant ? today : std::string())) {
        note = "database error";
        result.failed = true;
        return result;
    }
    note = "accepted, grant " + std::to_string(grant);
    result.status = zrt::kLoginAccepted;
    result.grant = grant;
    result.stored = stored;
    return result;
}

std::vector<zrt::LadderEntry> AccountService::ladder() {
    return table_.ladder(static_cast<int>(zrt::kLadderPerReply));
}

}  // namespace zrtserver
