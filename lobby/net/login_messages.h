// The login request (55 bytes: code 1, login name, AccountStats, login counter, lobby byte,
// password) and its prefixed reply: status at offset 2, and the grant carried by the reply's
// length (byte 0, the high byte of the prefix, counts when it is 1..20).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"

namespace zrt {

struct LoginRequest {
    std::string loginName;
    AccountStats stats;
    uint8_t loginCounter = 0;
    uint8_t lobbyByte = 0;
    std::string password;  // at most 10 characters are sent
};

// Status values of the login reply; anything below 200 is an acceptance.
inline constexpr uint8_t kLoginAccepted = 0;
inline constexpr uint8_t kLoginUnknownName = 200;
inline constexpr uint8_t kLoginDataNotRecognised = 201;
inline constexpr uint8_t kLoginWrongPassword = 203;
inline constexpr uint8_t kMaxGrant = 20;

std::vector<uint8_t> encodeLoginRequest(const LoginRequest& request);
// nullopt when fewer than 55 bytes arrived or the code is not 1.
std::optional<LoginRequest> decodeLoginRequest(const uint8_t* data, size_t size);

struct LoginReply {
    uint8_t status = 0;
    uint8_t grant = 0;  // 0..20
};

// The whole reply, prefix included. An acceptance with grant g (1..20) is g * 256 + 2 bytes
// long so that its first byte is g; any other reply stays below 256 bytes. The stored figures
// follow the status (the lobby does not read them).
std::vector<uint8_t> encodeLoginReply(uint8_t status, uint8_t grant, const AccountStats& stored);
// Reads the whole reply (prefix included); nullopt when the status byte did not arrive.
std::optional<LoginReply> decodeLoginReply(const uint8_t* data, size_t size);

// The grant a reply's first byte carries: 1..20 counts, anything else is 0.
uint8_t grantOf(uint8_t firstByte);

}  // namespace zrt
