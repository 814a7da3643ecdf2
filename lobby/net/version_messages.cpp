// Encoding and decoding of the two version checks.
#include "lobby/net/version_messages.h"

#include "lobby/net/request_code.h"
#include "playnet/bytes.h"

namespace zrt {

namespace {
constexpr size_t kAddressMax = 255;
constexpr size_t kTagWidth = 5;
}  // namespace

std::vector<uint8_t> encodeVersionRequest(const std::string& tag) {
    playnet::ByteWriter w;
    w.text(tag, kTagWidth);
    return w.take();
}

std::optional<std::string> decodeVersionRequest(const uint8_t* data, size_t size) {
    playnet::ByteReader r(data, size);
    std::string tag = r.text(kTagWidth);
    if (!r.ok()) return std::nullopt;
    return tag;
}

std::vector<uint8_t> encodeVersionReply(const VersionReply& reply) {
    playnet::ByteWriter w;
    w.u8(reply.status);
    w.text(reply.homeUrl, kHomeUrlSize);
    w.textNul(reply.databaseAddress.substr(0, kAddressMax));
    return w.take();
}

std::optional<VersionReply> decodeVersionReply(const uint8_t* data, size_t size) {
    if (size < 1) return std::nullopt;
    playnet::ByteReader r(data, size);
    VersionReply v;
    v.status = r.u8();
    v.homeUrl = r.text(kHomeUrlSize);
    v.databaseAddress = r.textToEnd(kAddressMax);
    return v;
}

std::vector<uint8_t> encodeDatabaseVersionRequest(const std::string& tag) {
    playnet::ByteWriter w;
    w.u8(static_cast<uint8_t>(RequestCode::Version));
    w.text(tag, kTagWidth);
    w.zeros(6);
    return w.take();
}

std::optional<std::string> decodeDatabaseVersionRequest(const uint8_t* data, size_t size) {
    if (size < kDatabaseVersionRequestSize) return std::nullopt;
    playnet::ByteReader r(data, size);
    if (r.u8() != static_cast<uint8_t>(RequestCode::Version)) return std::nullopt;
    return r.text(kTagWidth);
}

std::vector<uint8_t> encodeDatabaseVersionReply(const DatabaseVersionReply& reply) {
    playnet::ByteWriter w;
    w.u8(reply.status);
    w.text(reply.homeUrl, kHomeUrlSize);
    w.text(reply.news, kNewsSize);
    return w.take();
}

std::optional<DatabaseVersionReply> decodeDatabaseVersionReply(const uint8_t* data, size_t size) {
    if (size < 1) return std::nullopt;
    playnet::ByteReader r(data, size);
    DatabaseVersionReply v;
    v.status = r.u8();
    v.homeUrl = r.text(kHomeUrlSize);
    v.news = r.text(kNewsSize);
    return v;
}

}  // namespace zrt
