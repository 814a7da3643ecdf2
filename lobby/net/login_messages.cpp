// Encoding and decoding of the login request and reply.
#include "lobby/net/login_messages.h"

#include "lobby/net/reply_prefix.h"
#include "lobby/net/request_code.h"
#include "playnet/bytes.h"

namespace zrt {

namespace {
constexpr size_t kNameWidth = 21;
constexpr size_t kPasswordWidth = 11;
}  // namespace

std::vector<uint8_t> encodeLoginRequest(const LoginRequest& request) {
    playnet::ByteWriter w;
    w.u8(static_cast<uint8_t>(RequestCode::Login));
    w.text(request.loginName, kNameWidth);
    writeAccountStats(w, request.stats);
    w.u8(request.loginCounter);
    w.u8(request.lobbyByte);
    w.text(request.password, kPasswordWidth);
    return w.take();
}

std::optional<LoginRequest> decodeLoginRequest(const uint8_t* data, size_t size) {
    playnet::ByteReader r(data, size);
    if (r.u8() != static_cast<uint8_t>(RequestCode::Login)) return std::nullopt;
    LoginRequest req;
    req.loginName = r.text(kNameWidth);
    req.stats = readAccountStats(r);
    req.loginCounter = r.u8();
    req.lobbyByte = r.u8();
    req.password = r.text(kPasswordWidth);
    if (!r.ok()) return std::nullopt;
    return req;
}

uint8_t grantOf(uint8_t firstByte) {
    return firstByte >= 1 && firstByte <= kMaxGrant ? firstByte : 0;
}

std::vector<uint8_t> encodeLoginReply(uint8_t status, uint8_t grant, const AccountStats& stored) {
    if (status >= 200 || grant > kMaxGrant) grant = 0;
    playnet::ByteWriter body;
    body.u8(status);
    if (status < 200) writeAccountStats(body, stored);
    // The declared length's high byte is the grant; pad the body up to grant * 256.
    size_t declared = grant ? static_cast<size_t>(grant) * 256 : body.size();
    if (body.size() < declared) body.zeros(declared - body.size());
    return *withPrefix(body.take());
}

std::optional<LoginReply> decodeLoginReply(const uint8_t* data, size_t size) {
    if (size < 3) return std::nullopt;
    LoginReply reply;
    reply.status = data[2];
    reply.grant = reply.status < 200 ? grantOf(data[0]) : 0;
    return reply;
}

}  // namespace zrt
