// Encoding and decoding of the banner record.
#include "lobby/net/banner_record.h"

#include "lobby/net/request_code.h"
#include "playnet/bytes.h"

namespace zrt {

namespace {
constexpr size_t kUrlWidth = 148;
constexpr uint16_t kDeclared = kBannerRecordSize - 2;
}  // namespace

std::vector<uint8_t> encodeBannerRequest() {
    return {static_cast<uint8_t>(RequestCode::Banner)};
}

std::vector<uint8_t> encodeBannerRecord(const BannerRecord& record) {
    playnet::ByteWriter w;
    w.u16be(kDeclared);
    w.text(record.pictureUrl, kUrlWidth);
    w.u16(record.pictureValue);
    w.text(record.clickUrl, kUrlWidth);
    w.u16(record.clickValue);
    return w.take();
}

std::vector<uint8_t> encodeNoBanner() {
    return {0, 0};
}

std::optional<BannerRecord> decodeBannerRecord(const uint8_t* data, size_t size) {
    if (size < kBannerRecordSize) return std::nullopt;
    playnet::ByteReader r(data, size);
    if (r.u16be() == 0) return std::nullopt;
    BannerRecord b;
    b.pictureUrl = r.text(kUrlWidth);
    b.pictureValue = r.u16();
    b.clickUrl = r.text(kUrlWidth);
    b.clickValue = r.u16();
    if (!r.ok()) return std::nullopt;
    return b;
}

}  // namespace zrt
