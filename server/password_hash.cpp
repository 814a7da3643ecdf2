// Password hashing with libsodium.
#include "server/password_hash.h"

#include <sodium.h>

namespace zrtserver {

bool initCrypto() {
    return sodium_init() >= 0;
}

std::optional<std::string> hashPassword(const std::string& password, HashCost cost) {
    // Standard: argon2id with 19 MiB and 2 passes (one lane: libsodium's), the minimum the
    // OWASP password storage guidance recommends. It costs a core about a fifth of the
    // interactive limits' 64 MiB, so a machine signs a returning crowd in that much sooner.
    unsigned long long ops = 2;
    size_t mem = 19u * 1024 * 1024;
    if (cost == HashCost::Interactive) {
        ops = crypto_pwhash_OPSLIMIT_INTERACTIVE;
        mem = crypto_pwhash_MEMLIMIT_INTERACTIVE;
    } else if (cost == HashCost::Moderate) {
        ops = crypto_pwhash_OPSLIMIT_MODERATE;
        mem = crypto_pwhash_MEMLIMIT_MODERATE;
    } else if (cost == HashCost::Min) {
        ops = crypto_pwhash_OPSLIMIT_MIN;
        mem = crypto_pwhash_MEMLIMIT_MIN;
    }
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, password.data(), password.size(), ops, mem,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return std::nullopt;
    return std::string(out);
}

bool verifyPassword(const std::string& hash, const std::string& password) {
    if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string generatePassword(size_t length) {
    static const char kAlphabet[] = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    const uint32_t n = sizeof(kAlphabet) - 1;
    std::string out;
    for (size_t i = 0; i < length; ++i) out += kAlphabet[randombytes_uniform(n)];
    return out;
}

}  // namespace zrtserver
