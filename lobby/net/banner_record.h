// BannerRecord: the reply to request code 5. 302 bytes with the 2-byte prefix declaring 300
// (picture URL, a 16-bit value, click-through URL, a 16-bit value), or the prefix alone
// (declaring 0) when no banner is offered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrt {

struct BannerRecord {
    std::string pictureUrl;  // at most 147 characters
    uint16_t pictureValue = 0;
    std::string clickUrl;  // at most 147 characters
    uint16_t clickValue = 0;
};

std::vector<uint8_t> encodeBannerRequest();
std::vector<uint8_t> encodeBannerRecord(const BannerRecord& record);
// The 2-byte reply that offers no banner.
std::vector<uint8_t> encodeNoBanner();
// The whole reply, prefix included. nullopt when no banner is offered or fewer than 302 bytes
// arrived.
std::optional<BannerRecord> decodeBannerRecord(const uint8_t* data, size_t size);

}  // namespace zrt
