// The control socket's exchange. The client writes its command's words, each ended by a NUL,
// and shuts its sending side; the server answers with one status byte ('0' done, '1' refused
// or failed) and readable text, then closes. Both sides bound what they read and how long
// they wait.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zrtserver {

inline constexpr size_t kMaxControlRequest = 64 * 1024;
inline constexpr size_t kMaxControlReply = 16 * 1024 * 1024;
// How long either side waits for the other's bytes: the client also waits for the command's
// work (a password hash, the halls' answer).
inline constexpr auto kControlRequestWait = std::chrono::seconds(5);
inline constexpr auto kControlReplyWait = std::chrono::seconds(30);

struct ControlReply {
    bool ok = false;
    std::string text;
};

std::string encodeControlRequest(const std::vector<std::string>& words);
// Nullopt unless every word is ended by a NUL.
std::optional<std::vector<std::string>> decodeControlRequest(const std::string& bytes);
std::string encodeControlReply(const ControlReply& reply);
std::optional<ControlReply> decodeControlReply(const std::string& bytes);

// Reads until the peer shuts its side, at most `limit` bytes and until `deadline`. False on
// an error, a time-out or more than `limit` bytes.
bool readToEnd(int fd, std::string& out, size_t limit,
               std::chrono::steady_clock::time_point deadline);
bool writeAll(int fd, const std::string& bytes, std::chrono::steady_clock::time_point deadline);

}  // namespace zrtserver
