// The table of database-server request kinds.
#include "lobby/net/request_code.h"

namespace zrt {

namespace {
constexpr RequestKind kKinds[] = {
    {RequestCode::Version, kDatabaseVersionRequestSize, 0, "version"},
    {RequestCode::Login, kLoginRequestSize, 2, "login"},
    {RequestCode::NewAccount, kNewAccountRequestSize, 0, "new-account"},
    {RequestCode::Ladder, 1, 0, "ladder"},
    {RequestCode::Banner, 1, 2, "banner"},
};
}  // namespace

std::optional<RequestKind> requestKind(uint8_t code) {
    for (const RequestKind& k : kKinds)
        if (static_cast<uint8_t>(k.code) == code) return k;
    return std::nullopt;
}

}  // namespace zrt
