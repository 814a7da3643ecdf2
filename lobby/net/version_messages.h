// The version checks: the 5-byte request to the version server and its reply (status, home-page
// URL, database server address), and the 12-byte request to the database server and its reply
// (status, news text at offset 81, 593 bytes in all).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zrt {

std::vector<uint8_t> encodeVersionRequest(const std::string& tag);
// The tag (at most 4 characters); nullopt when fewer than 5 bytes arrived.
std::optional<std::string> decodeVersionRequest(const uint8_t* data, size_t size);

struct VersionReply {
    uint8_t status = 1;
    std::string homeUrl;          // at most 79 characters
    std::string databaseAddress;  // at most 255 characters
};
std::vector<uint8_t> encodeVersionReply(const VersionReply& reply);
// Reads only the bytes received: a cut URL or an address without its NUL still yields
// terminated texts. nullopt when not even the status byte arrived.
std::optional<VersionReply> decodeVersionReply(const uint8_t* data, size_t size);

std::vector<uint8_t> encodeDatabaseVersionRequest(const std::string& tag);
// The tag; nullopt when the request is short or does not start with code 0.
std::optional<std::string> decodeDatabaseVersionRequest(const uint8_t* data, size_t size);

struct DatabaseVersionReply {
    uint8_t status = 1;
    std::string homeUrl;  // bytes 1-80, which the lobby does not read
    std::string news;     // at most 511 characters; empty when there is no news
};
std::vector<uint8_t> encodeDatabaseVersionReply(const DatabaseVersionReply& reply);
// A reply shorter than 593 bytes yields the news text that did arrive, terminated.
std::optional<DatabaseVersionReply> decodeDatabaseVersionReply(const uint8_t* data, size_t size);

}  // namespace zrt
