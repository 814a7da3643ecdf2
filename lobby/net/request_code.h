// The server link's request codes, ports and record sizes: one table, append only.
//
// Every request to the database server starts with a one-byte RequestCode; the version
// server's request has none. Each kind has a fixed request size and a reply framing (the width
// of the reply's big-endian length prefix, 0 for a reply read in one piece).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zrt {

enum class RequestCode : uint8_t {
    Version = 0,
    Login = 1,
    NewAccount = 2,
    // 3 is not sent by the lobby.
    Ladder = 4,
    Banner = 5,
};

inline constexpr int kVersionPort = 1695;
inline constexpr int kDatabasePort = 1694;

// The tag by which the servers recognise this client: four characters and a NUL.
inline constexpr char kVersionTag[] = "ZR01";

inline constexpr size_t kVersionRequestSize = 5;
inline constexpr size_t kDatabaseVersionRequestSize = 12;
inline constexpr size_t kDatabaseVersionReplySize = 593;
inline constexpr size_t kNewsOffset = 81;
inline constexpr size_t kNewsSize = 512;
inline constexpr size_t kHomeUrlSize = 80;
inline constexpr size_t kNewAccountRequestSize = 93;
inline constexpr size_t kLoginRequestSize = 55;
inline constexpr size_t kBannerRecordSize = 302;
inline constexpr size_t kLadderEntrySize = 41;
inline constexpr size_t kLadderPerReply = 49;   // 1 + 49 * 41 = 2010 bytes fit one read
inline constexpr size_t kLadderWindowMax = 99;  // what the ladder window holds
inline constexpr size_t kLoginNameMax = 10;
inline constexpr size_t kEmailMax = 50;
inline constexpr size_t kPasswordMax = 10;

// The largest reply the exchange reads in its first read.
inline constexpr size_t kFirstReadMax = 2048;
// The largest request the exchange sends.
inline constexpr size_t kRequestMax = 1024;

struct RequestKind {
    RequestCode code;
    size_t requestSize;
    int prefixWidth;
    const char* name;
};

// The row of a database-server request code; nullopt for a code this link does not carry.
std::optional<RequestKind> requestKind(uint8_t code);

}  // namespace zrt
