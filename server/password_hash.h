// Passwords: argon2id hashes (libsodium's crypto_pwhash_str) and generated passwords. Only the
// hash is ever stored; a verification reads its cost from the stored hash.
#pragma once

#include <optional>
#include <string>

#include "server/server_config.h"

namespace zrtserver {

bool initCrypto();
std::optional<std::string> hashPassword(const std::string& password, HashCost cost);
bool verifyPassword(const std::string& hash, const std::string& password);
// `length` letters and digits, without the easily confused 0, O, 1, l and I.
std::string generatePassword(size_t length = 8);

}  // namespace zrtserver
