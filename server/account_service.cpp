// Account creation and login.
#include "server/account_service.h"

#include <algorithm>

#include "lobby/net/request_code.h"
#include "server/log.h"
#include "server/login_policy.h"
#include "server/password_hash.h"

namespace zrtserver {

namespace {
std::chrono::seconds seconds(int n) {
    return std::chrono::seconds(n);
}
}  // namespace

AccountService::AccountService(AccountStore& store, Mailer& mailer, SignIns& signIns,
                               const ServerConfig& config)
    : store_(store),
      mailer_(mailer),
      signIns_(signIns),
      config_(config),
      failuresByAddress_(config.accounts.failedLoginsPerAddress,
                         seconds(config.accounts.failedLoginRefillSeconds)),
      failuresByAccount_(config.accounts.failedLoginsPerAccount,
                         seconds(config.accounts.failedLoginRefillSeconds)),
      creationsByAddress_(config.accounts.newAccountsPerAddress,
                          seconds(config.accounts.newAccountRefillSeconds)),
      creationsByEmail_(config.accounts.newAccountsPerEmail,
                        seconds(config.accounts.newAccountRefillSeconds)) {}

void AccountService::clearOrphans() {
    mailer_.clearTemporaries();
    size_t before = store_.pending().size();
    purgeOrphans();
    if (before > 0)
        logLine("removed " + std::to_string(before - store_.pending().size()) + " of " +
                std::to_string(before) + " accounts whose creation did not finish");
}

void AccountService::purgeOrphans() {
    std::lock_guard lock(flightMutex_);
    bool left = false;
    for (const PendingAccount& p : store_.pending()) {
        if (inFlight_.count(p.id)) continue;
        // The mail first: a mail without its account misleads nobody for long, an account
        // without its mail takes a name for good.
        mailer_.discard(p.mailFile);
        if (!store_.removePending(p.id)) left = true;
    }
    orphansLeft_ = left;
}

void AccountService::dropPending(int64_t id) {
    std::lock_guard lock(flightMutex_);
    inFlight_.erase(id);
    if (!store_.removePending(id)) orphansLeft_ = true;
}

zrt::NewAccountOutcome AccountService::createAccount(const zrt::NewAccountRequest& request,
                                                     const std::string& address,
                                                     std::string& note) {
    if (!isValidLoginName(request.loginName)) {
        note = "login name not acceptable";
        return zrt::NewAccountOutcome::NameTaken;
    }
    if (!isDeliverableAddress(request.email)) {
        note = "e-mail address not deliverable";
        return zrt::NewAccountOutcome::MailFailed;
    }
    if (!creationsByAddress_.take(address)) {
        note = "too many new accounts from this address";
        return zrt::NewAccountOutcome::MailFailed;
    }
    std::string mailbox = lowerCase(request.email);
    if (!creationsByEmail_.take(mailbox)) {
        creationsByAddress_.giveBack(address);
        note = "too many new accounts for this e-mail address";
        return zrt::NewAccountOutcome::MailFailed;
    }
    zrt::NewAccountOutcome outcome = create(request, note);
    // Only an account made counts against the allowance; a taken name or a failure does not.
    if (outcome != zrt::NewAccountOutcome::Created) {
        creationsByAddress_.giveBack(address);
        creationsByEmail_.giveBack(mailbox);
    }
    return outcome;
}

zrt::NewAccountOutcome AccountService::create(const zrt::NewAccountRequest& request,
                                              std::string& note) {
    if (orphansLeft_) purgeOrphans();
    if (store_.find(request.loginName)) {
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
    std::string mailFile = mailer_.outboxFile(request.loginName);
    InsertResult inserted = InsertResult::Failed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            std::lock_guard lock(flightMutex_);
            inserted = store_.insertPending(account, mailFile);
            if (inserted == InsertResult::Created) inFlight_.insert(account.id);
        }
        // A name held by the orphan of a failed creation is free once that is cleared.
        if (inserted != InsertResult::NameTaken || attempt > 0) break;
        purgeOrphans();
    }
    if (inserted == InsertResult::NameTaken) {
        note = "name taken";
        return zrt::NewAccountOutcome::NameTaken;
    }
    if (inserted == InsertResult::Failed) {
        note = "database error";
        return zrt::NewAccountOutcome::MailFailed;
    }
    std::string mailNote;
    if (!mailer_.deliverPassword(request.email, request.loginName, password, mailFile, mailNote)) {
        dropPending(account.id);
        note = "not created: " + mailNote;
        return zrt::NewAccountOutcome::MailFailed;
    }
    if (!store_.confirm(account.id)) {
        mailer_.discard(mailFile);
        dropPending(account.id);
        note = "not created: the account could not be confirmed";
        return zrt::NewAccountOutcome::MailFailed;
    }
    {
        std::lock_guard lock(flightMutex_);
        inFlight_.erase(account.id);
    }
    note = "created; " + mailNote;
    return zrt::NewAccountOutcome::Created;
}

bool AccountService::loginAllowedFrom(const std::string& address) {
    return failuresByAddress_.allows(address);
}

LoginResult AccountService::login(const zrt::LoginRequest& request, const std::string& address,
                                  std::string& note) {
    LoginResult result;
    // An attempt is taken from the address's allowance now and given back if it succeeds, so
    // that many attempts at once cannot all pass a check made before any has failed.
    if (!failuresByAddress_.take(address)) {
        note = "too many failed logins from this address";
        result.throttled = true;
        return result;
    }
    auto account = store_.find(request.loginName);
    if (!account) {
        note = "unknown name";
        result.status = zrt::kLoginUnknownName;
        return result;
    }
    std::string key = lowerCase(account->loginName);
    bool knownAddress = !address.empty() && account->lastLoginAddress == address;
    if (!knownAddress && !failuresByAccount_.take(key)) {
        failuresByAddress_.giveBack(address);
        note = "too many failed logins on this account";
        result.throttled = true;
        return result;
    }
    if (!verifyPassword(account->passwordHash, request.password)) {
        note = "wrong password";
        result.status = zrt::kLoginWrongPassword;
        return result;
    }
    failuresByAddress_.giveBack(address);
    if (!knownAddress) failuresByAccount_.giveBack(key);
    // Only the owner of the password learns of the ban, with a refusal the lobby shows.
    if (banInForce(*account, utcNow())) {
        note = "banned";
        result.status = zrt::kLoginDataNotRecognised;
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
    if (!store_.recordLogin(account->id, stored, static_cast<uint8_t>(request.loginCounter + 1),
                            request.lobbyByte, grant ? today : std::string(), address)) {
        // The player is told, with the one refusal the lobby shows for it, rather than left
        // waiting or shown a connection error.
        note = "the login could not be stored";
        result.status = zrt::kLoginDataNotRecognised;
        return result;
    }
    signIns_.recordLogin(account->loginName, address);
    note = "accepted, grant " + std::to_string(grant);
    result.status = zrt::kLoginAccepted;
    result.grant = grant;
    result.stored = stored;
    return result;
}

std::vector<zrt::LadderEntry> AccountService::ladder() {
    return store_.ladder(static_cast<int>(zrt::kLadderPerReply));
}

}  // namespace zrtserver
