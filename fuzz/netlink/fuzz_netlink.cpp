// Feeds arbitrary bytes to every decoder of the server-link formats and checks that what comes
// out stays within its documented field sizes and counts.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/fuzz_support.h"
#include "lobby/net/account_messages.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/ladder_messages.h"
#include "lobby/net/login_messages.h"
#include "lobby/net/reply_prefix.h"
#include "lobby/net/request_code.h"
#include "lobby/net/version_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zrt;

    for (int width = -1; width <= kMaxPrefixWidth + 1; ++width) {
        if (auto n = declaredLength(data, size, width))
            FUZZ_CHECK(width >= 1 && size_t(width) <= size);
    }
    if (size > 0) {
        requestKind(data[0]);
        FUZZ_CHECK(grantOf(data[0]) <= kMaxGrant);
    }

    if (auto tag = decodeVersionRequest(data, size)) FUZZ_CHECK(tag->size() <= 4);
    if (auto r = decodeVersionReply(data, size)) {
        FUZZ_CHECK(r->homeUrl.size() <= 79 && r->databaseAddress.size() <= 255);
    }
    decodeDatabaseVersionRequest(data, size);
    if (auto r = decodeDatabaseVersionReply(data, size))
        FUZZ_CHECK(r->news.size() <= kNewsSize - 1);

    if (auto r = decodeNewAccountRequest(data, size)) {
        FUZZ_CHECK(r->loginName.size() <= 20 && r->email.size() <= kEmailMax);
    }
    decodeNewAccountOutcome(data, size);
    if (auto r = decodeLoginRequest(data, size)) {
        FUZZ_CHECK(r->loginName.size() <= 20 && r->password.size() <= kPasswordMax);
    }
    if (auto r = decodeLoginReply(data, size)) FUZZ_CHECK(r->grant <= kMaxGrant);

    if (auto b = decodeBannerRecord(data, size)) {
        FUZZ_CHECK(b->pictureUrl.size() <= 147 && b->clickUrl.size() <= 147);
    }
    const std::vector<LadderEntry> ladder = decodeLadderReply(data, size);
    FUZZ_CHECK(ladder.size() <= kLadderWindowMax);
    FUZZ_CHECK(ladder.empty() || 1 + ladder.size() * kLadderEntrySize <= size);
    for (const LadderEntry& e : ladder) FUZZ_CHECK(e.loginName.size() <= 20);
    return 0;
}
