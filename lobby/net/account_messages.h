// The new-account request (93 bytes: code 2, login name, AccountStats, e-mail address) and its
// one-byte outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/net/account_stats.h"

namespace zrt {

struct NewAccountRequest {
    std::string loginName;  // at most 10 characters in use; the field holds 20
    AccountStats stats;
    std::string email;  // at most 50 characters
};

enum class NewAccountOutcome : uint8_t {
    Created = 0,     // the password has been mailed
    NameTaken = 1,   // also given for a name the server does not accept
    MailFailed = 3,  // the password could not be delivered; no account was kept
};

std::vector<uint8_t> encodeNewAccountRequest(const NewAccountRequest& request);
// nullopt when fewer than 93 bytes arrived or the code is not 2.
std::optional<NewAccountRequest> decodeNewAccountRequest(const uint8_t* data, size_t size);

std::vector<uint8_t> encodeNewAccountOutcome(NewAccountOutcome outcome);
// The outcome byte as received (0, 1, 3 or a value the lobby does not know); nullopt when empty.
std::optional<uint8_t> decodeNewAccountOutcome(const uint8_t* data, size_t size);

}  // namespace zrt
