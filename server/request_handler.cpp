// The replies of the version and database ports.
#include "server/request_handler.h"

#include "lobby/net/banner_record.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "server/log.h"

namespace zrtserver {

std::optional<size_t> RequestHandler::requestSize(Port port, uint8_t firstByte) {
    if (port == Port::Version) return zrt::kVersionRequestSize;
    auto kind = zrt::requestKind(firstByte);
    if (!kind) return std::nullopt;
    return kind->requestSize;
}

bool RequestHandler::hashes(Port port, uint8_t firstByte) {
    return port == Port::Database &&
           (firstByte == static_cast<uint8_t>(zrt::RequestCode::Login) ||
            firstByte == static_cast<uint8_t>(zrt::RequestCode::NewAccount));
}

namespace {
RequestKind kindOf(Port port, const std::vector<uint8_t>& request) {
    if (port == Port::Version) return RequestKind::Version;
    if (request.empty()) return RequestKind::Other;
    switch (static_cast<zrt::RequestCode>(request[0])) {
        case zrt::RequestCode::Version:
            return RequestKind::DatabaseVersion;
        case zrt::RequestCode::Login:
            return RequestKind::Login;
        case zrt::RequestCode::NewAccount:
            return RequestKind::NewAccount;
        case zrt::RequestCode::Ladder:
            return RequestKind::Ladder;
        case zrt::RequestCode::Banner:
            return RequestKind::Banner;
    }
    return RequestKind::Other;
}
}  // namespace

Handled RequestHandler::counted(Port port, const std::vector<uint8_t>& request, Handled h) {
    if (h.reply.empty()) h.refused = true;
    counts_.add(kindOf(port, request), h.refused);
    return h;
}

Handled RequestHandler::busy(Port port, const std::vector<uint8_t>& request) {
    counts_.add(kindOf(port, request), true);
    if (port == Port::Database && !request.empty()) {
        if (request[0] == static_cast<uint8_t>(zrt::RequestCode::Login))
            return {zrt::encodeLoginReply(zrt::kLoginDataNotRecognised, 0, {}), "login",
                    "refused: the hashing workers are busy (status 201)", true};
        if (request[0] == static_cast<uint8_t>(zrt::RequestCode::NewAccount))
            return {zrt::encodeNewAccountOutcome(zrt::NewAccountOutcome::MailFailed), "new account",
                    "refused: the hashing workers are busy (outcome 3)", true};
    }
    return {{}, "request", "the workers are busy, closed", true};
}

std::optional<Handled> RequestHandler::screen(Port port, const std::vector<uint8_t>& request,
                                              const std::string& address) {
    if (port != Port::Database || request.empty() ||
        request[0] != static_cast<uint8_t>(zrt::RequestCode::Login))
        return std::nullopt;
    if (accounts_.loginAllowedFrom(address)) return std::nullopt;
    return counted(port, request,
                   {{}, "login", "too many failed logins from this address, closed"});
}

Handled RequestHandler::handle(Port port, const std::vector<uint8_t>& request,
                               const std::string& address) {
    return counted(port, request, answer(port, request, address));
}

Handled RequestHandler::answer(Port port, const std::vector<uint8_t>& request,
                               const std::string& address) {
    if (port == Port::Version) return version(request);
    if (request.empty()) return {{}, "empty", "closed"};
    switch (static_cast<zrt::RequestCode>(request[0])) {
        case zrt::RequestCode::Version:
            return databaseVersion(request);
        case zrt::RequestCode::Login:
            return login(request, address);
        case zrt::RequestCode::NewAccount:
            return newAccount(request, address);
        case zrt::RequestCode::Ladder:
            return ladder();
        case zrt::RequestCode::Banner:
            return banner();
    }
    return {{}, "code " + std::to_string(request[0]), "unknown request, closed"};
}

Handled RequestHandler::version(const std::vector<uint8_t>& request) {
    auto tag = zrt::decodeVersionRequest(request.data(), request.size());
    if (!tag || *tag != zrt::kVersionTag) return {{}, "version", "unknown version tag, closed"};
    zrt::VersionReply reply;
    reply.status = 1;
    reply.homeUrl = config_.news.homePage;
    reply.databaseAddress = hostChoice_ ? hostChoice_() : config_.announcedAddress();
    return {zrt::encodeVersionReply(reply), "version", "database server " + reply.databaseAddress};
}

Handled RequestHandler::databaseVersion(const std::vector<uint8_t>& request) {
    auto tag = zrt::decodeDatabaseVersionRequest(request.data(), request.size());
    if (!tag || *tag != zrt::kVersionTag)
        return {{}, "database version", "unknown version tag, closed"};
    zrt::DatabaseVersionReply reply;
    reply.status = 1;
    reply.homeUrl = config_.news.homePage;
    reply.news = config_.news.news;
    return {zrt::encodeDatabaseVersionReply(reply), "database version",
            reply.news.empty() ? "no news" : "news sent"};
}

Handled RequestHandler::login(const std::vector<uint8_t>& request, const std::string& address) {
    auto req = zrt::decodeLoginRequest(request.data(), request.size());
    if (!req) return {{}, "login", "malformed, closed"};
    std::string note;
    LoginResult r = accounts_.login(*req, address, note);
    std::string what = "login " + printable(req->loginName);
    if (r.throttled) return {{}, what, note + ", closed"};
    return {zrt::encodeLoginReply(r.status, r.grant, r.stored), what,
            note + " (status " + std::to_string(r.status) + ")", r.status != zrt::kLoginAccepted};
}

Handled RequestHandler::newAccount(const std::vector<uint8_t>& request,
                                   const std::string& address) {
    auto req = zrt::decodeNewAccountRequest(request.data(), request.size());
    if (!req) return {{}, "new account", "malformed, closed"};
    std::string note;
    zrt::NewAccountOutcome outcome = accounts_.createAccount(*req, address, note);
    return {zrt::encodeNewAccountOutcome(outcome), "new account " + printable(req->loginName),
            note + " (outcome " + std::to_string(static_cast<int>(outcome)) + ")",
            outcome != zrt::NewAccountOutcome::Created};
}

Handled RequestHandler::ladder() {
    auto entries = accounts_.ladder();
    return {zrt::encodeLadderReply(entries), "ladder", std::to_string(entries.size()) + " entries"};
}

Handled RequestHandler::banner() {
    if (config_.banners.empty()) return {zrt::encodeNoBanner(), "banner", "none offered"};
    size_t i = nextBanner_.fetch_add(1) % config_.banners.size();
    return {zrt::encodeBannerRecord(config_.banners[i]), "banner",
            "record " + std::to_string(i + 1) + " of " + std::to_string(config_.banners.size())};
}

}  // namespace zrtserver
