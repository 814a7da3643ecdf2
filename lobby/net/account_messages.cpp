// Encoding and decoding of the new-account request and outcome.
#include "lobby/net/account_messages.h"

#include "lobby/net/request_code.h"
#include "playnet/bytes.h"

namespace zrt {

namespace {
constexpr size_t kNameWidth = 21;
constexpr size_t kEmailWidth = 51;
}  // namespace

std::vector<uint8_t> encodeNewAccountRequest(const NewAccountRequest& request) {
    playnet::ByteWriter w;
    w.u8(static_cast<uint8_t>(RequestCode::NewAccount));
    w.text(request.loginName, kNameWidth);
    writeAccountStats(w, request.stats);
    w.text(request.email, kEmailWidth);
    return w.take();
}

std::optional<NewAccountRequest> decodeNewAccountRequest(const uint8_t* data, size_t size) {
    playnet::ByteReader r(data, size);
    if (r.u8() != static_cast<uint8_t>(RequestCode::NewAccount)) return std::nullopt;
    NewAccountRequest req;
    req.loginName = r.text(kNameWidth);
    req.stats = readAccountStats(r);
    req.email = r.text(kEmailWidth);
    if (!r.ok()) return std::nullopt;
    return req;
}

std::vector<uint8_t> encodeNewAccountOutcome(NewAccountOutcome outcome) {
    return {static_cast<uint8_t>(outcome)};
}

std::optional<uint8_t> decodeNewAccountOutcome(const uint8_t* data, size_t size) {
    if (size < 1) return std::nullopt;
    return data[0];
}

}  // namespace zrt
