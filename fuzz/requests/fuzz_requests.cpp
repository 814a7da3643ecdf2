// Serves a list of requests as the server's two ports do: the first byte of each decides its
// size (as the listener reads it), then the request handler answers it from a real account
// store (SQLite in memory, passwords mailed to an outbox folder). Requests are raw bytes or
// built around what the store holds: new accounts, logins with the password that was mailed.
// Every reply must be one the lobby can read: its length prefix matches and it decodes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "lobby/net/account_messages.h"
#include "lobby/net/account_stats.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/reply_prefix.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"
#include "playnet/bytes.h"
#include "server/account_service.h"
#include "server/account_table.h"
#include "server/database.h"
#include "server/mailer.h"
#include "server/password_hash.h"
#include "server/request_handler.h"
#include "server/sign_ins.h"

namespace {

namespace fs = std::filesystem;
using namespace zrtserver;

struct Created {
    std::string name;
    std::string password;
};

// The password of the one message in the outbox, which is then emptied.
std::optional<std::string> TakeMailedPassword(const fs::path& outbox) {
    std::optional<std::string> password;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(outbox, ec)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("Password: ", 0) == 0) {
                password = line.substr(10);
                if (!password->empty() && password->back() == '\r') password->pop_back();
            }
        }
        fs::remove(entry.path(), ec);
    }
    return password;
}

void CheckReply(Port port, uint8_t code, const std::vector<uint8_t>& reply) {
    if (reply.empty()) return;  // closed without a reply
    if (port == Port::Version) {
        FUZZ_CHECK(zrt::decodeVersionReply(reply.data(), reply.size()));
        return;
    }
    const std::optional<zrt::RequestKind> kind = zrt::requestKind(code);
    FUZZ_CHECK(kind);
    if (kind->prefixWidth > 0) {
        const std::optional<size_t> declared =
            zrt::declaredLength(reply.data(), reply.size(), kind->prefixWidth);
        FUZZ_CHECK(declared && *declared + size_t(kind->prefixWidth) == reply.size());
    }
    switch (kind->code) {
        case zrt::RequestCode::Version:
            FUZZ_CHECK(zrt::decodeDatabaseVersionReply(reply.data(), reply.size()));
            break;
        case zrt::RequestCode::Login: {
            std::optional<zrt::LoginReply> r = zrt::decodeLoginReply(reply.data(), reply.size());
            FUZZ_CHECK(r && r->grant <= zrt::kMaxGrant);
            break;
        }
        case zrt::RequestCode::NewAccount: {
            std::optional<uint8_t> o = zrt::decodeNewAccountOutcome(reply.data(), reply.size());
            FUZZ_CHECK(o && (*o == 0 || *o == 1 || *o == 3) && reply.size() == 1);
            break;
        }
        case zrt::RequestCode::Ladder:
            FUZZ_CHECK(zrt::decodeLadderReply(reply.data(), reply.size()).size() <=
                       zrt::kLadderPerReply);
            break;
        case zrt::RequestCode::Banner:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FUZZ_CHECK(initCrypto());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path outbox = zrtfuzz::FuzzDir("requests") / "outbox";
    ServerConfig config;
    config.accounts.hashCost = HashCost::Min;
    config.gemstones.policy = GrantPolicy::Fixed;
    config.gemstones.grant = 3;
    config.news.news = "News";
    config.banners.push_back({"http://127.0.0.1/b.gif", 0, "http://127.0.0.1/", 0});
    Database db(":memory:");
    FUZZ_CHECK(db.ok());
    AccountTable table(db);
    Mailer mailer(config.mail, outbox.string());
    SignIns signIns(std::chrono::seconds(600));
    AccountService accounts(table, mailer, signIns, config);
    RequestHandler handler(config, accounts);
    std::vector<Created> created;

    playnet::ByteReader in(data, size);
    for (int n = 0; in.remaining() > 0 && n < 64; ++n) {
        const uint8_t op = in.u8();
        const Port port = (op & 1) ? Port::Version : Port::Database;
        std::vector<uint8_t> request;
        switch ((op >> 1) % 4) {
            case 0:
            case 3: {  // raw bytes, as many as the first byte asks for
                const uint8_t first = in.u8();
                const std::optional<size_t> want = RequestHandler::requestSize(port, first);
                if (!want) continue;  // the listener closes at once
                request.assign(*want, 0);
                request[0] = first;
                if (*want > in.remaining() + 1) return 0;  // cut short: closed, nothing handled
                in.bytes(request.data() + 1, *want - 1);
                break;
            }
            case 1: {  // a new account
                zrt::NewAccountRequest r;
                r.loginName = in.text(1 + in.u8() % 12);
                r.stats = zrt::readAccountStats(in);
                r.email = (op & 0x80) ? in.text(1 + in.u8() % 52) : "player@example.org";
                request = zrt::encodeNewAccountRequest(r);
                break;
            }
            case 2: {  // a login, with the password mailed to an account or another
                zrt::LoginRequest r;
                const uint8_t pick = in.u8();
                if (!created.empty()) {
                    const Created& c = created[pick % created.size()];
                    r.loginName = c.name;
                    r.password = (op & 0x80) ? in.text(11) : c.password;
                } else {
                    r.loginName = in.text(11);
                    r.password = in.text(11);
                }
                r.stats = zrt::readAccountStats(in);
                r.loginCounter = in.u8();
                r.lobbyByte = in.u8();
                request = zrt::encodeLoginRequest(r);
                break;
            }
        }
        // The listener reads as many bytes as the first one asks for on this port.
        const std::optional<size_t> want = RequestHandler::requestSize(port, request[0]);
        if (!want) continue;
        request.resize(*want);
        // A few peer addresses, so that the throttles both hold and let requests through.
        const std::string address = "127.0.0." + std::to_string(1 + (op >> 5));
        std::optional<Handled> screened = handler.screen(port, request, address);
        Handled h = screened ? *screened : handler.handle(port, request, address);
        CheckReply(port, request[0], h.reply);
        if (port == Port::Database && request[0] == uint8_t(zrt::RequestCode::NewAccount) &&
            h.reply == std::vector<uint8_t>{0}) {
            std::optional<std::string> password = TakeMailedPassword(outbox);
            FUZZ_CHECK(password);
            std::optional<zrt::NewAccountRequest> r =
                zrt::decodeNewAccountRequest(request.data(), request.size());
            created.push_back({r->loginName, *password});
        }
    }
    return 0;
}
