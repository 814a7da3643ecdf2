// Reads the input as the server's configuration file. A configuration the loader accepts must
// keep every limit the clients rely on, and what the servers send from it must reach a client
// as it was configured.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "lobby/net/banner_record.h"
#include "lobby/net/version_messages.h"
#include "server/server_config.h"

namespace {

using namespace zrtserver;

bool NoNul(const std::string& s) {
    return s.find('\0') == std::string::npos;
}

void CheckAccepted(const ServerConfig& c) {
    FUZZ_CHECK(!c.halls.halls.empty() && c.halls.halls.size() <= kMaxHalls);
    for (const HallConfig& h : c.halls.halls) {
        FUZZ_CHECK(!h.name.empty() && h.name.size() <= kMaxHallNameChars);
        FUZZ_CHECK(h.maxPlayers >= 2 && h.maxPlayers <= kMaxHallPlayers + 1);
    }
    FUZZ_CHECK(!c.halls.serverPlayerName.empty() &&
               c.halls.serverPlayerName.size() <= kMaxHallNameChars);
    FUZZ_CHECK(c.halls.entryNews.size() <= kMaxEntryNewsChars);
    FUZZ_CHECK(c.halls.port >= 1 && c.halls.port <= 65535);
    FUZZ_CHECK(c.halls.messageRate >= 1 && c.halls.messageBurst >= 1);
    FUZZ_CHECK(c.gemstones.grant <= 20);
    FUZZ_CHECK(c.listen.workers >= 0 && c.listen.workers <= 64);  // 0: one per core

    // The texts a client receives from this configuration arrive whole.
    zrt::DatabaseVersionReply dv;
    dv.status = 1;
    dv.homeUrl = c.news.homePage;
    dv.news = c.news.news;
    const auto bytes = zrt::encodeDatabaseVersionReply(dv);
    const auto back = zrt::decodeDatabaseVersionReply(bytes.data(), bytes.size());
    FUZZ_CHECK(back);
    if (NoNul(dv.homeUrl) && NoNul(dv.news)) {
        FUZZ_CHECK(back->homeUrl == dv.homeUrl && back->news == dv.news);
    }
    for (const zrt::BannerRecord& b : c.banners) {
        const auto record = zrt::encodeBannerRecord(b);
        const auto read = zrt::decodeBannerRecord(record.data(), record.size());
        FUZZ_CHECK(read);
        if (NoNul(b.pictureUrl) && NoNul(b.clickUrl)) {
            FUZZ_CHECK(read->pictureUrl == b.pictureUrl && read->clickUrl == b.clickUrl);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (std::optional<ServerConfig> c = parseConfig(text, error)) {
        CheckAccepted(*c);
    } else {
        FUZZ_CHECK(!error.empty());
    }
    return 0;
}
