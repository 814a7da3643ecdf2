// Feeds arbitrary bytes to every decoder of the server-link formats and checks that what comes
// out stays within its documented field sizes and counts.
#include <cstddef>
#include <cstdint>

#include "lobby/net/account_messages.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/reply_prefix.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"

#define CHECK(cond)                    \
    do {                               \
        if (!(cond)) __builtin_trap(); \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zrt;

    for (int width = -1; width <= kMaxPrefixWidth + 1; ++width) {
        if (auto n = declaredLength(data, size, width)) CHECK(width >= 1 && size_t(width) <= size);
    }
    if (size > 0) {
        requestKind(data[0]);
        CHECK(grantOf(data[0]) <= kMaxGrant);
    }

    if (auto tag = decodeVersionRequest(data, size)) CHECK(tag->size() <= 4);
    if (auto r = decodeVersionReply(data, size)) {
        CHECK(r->homeUrl.size() <= 79 && r->databaseAddress.size() <= 255);
    }
    decodeDatabaseVersionRequest(data, size);
    if (auto r = decodeDatabaseVersionReply(data, size)) CHECK(r->news.size() <= kNewsSize - 1);

    if (auto r = decodeNewAccountRequest(data, size)) {
        CHECK(r->loginName.size() <= 20 && r->email.size() <= kEmailMax);
    }
    decodeNewAccountOutcome(data, size);
    if (auto r = decodeLoginRequest(data, size)) {
        CHECK(r->loginName.size() <= 20 && r->password.size() <= kPasswordMax);
    }
    if (auto r = decodeLoginReply(data, size)) CHECK(r->grant <= kMaxGrant);

    if (auto b = decodeBannerRecord(data, size)) {
        CHECK(b->pictureUrl.size() <= 147 && b->clickUrl.size() <= 147);
    }
    const std::vector<LadderEntry> ladder = decodeLadderReply(data, size);
    CHECK(ladder.size() <= kLadderWindowMax);
    CHECK(ladder.empty() || 1 + ladder.size() * kLadderEntrySize <= size);
    for (const LadderEntry& e : ladder) CHECK(e.loginName.size() <= 20);
    return 0;
}
