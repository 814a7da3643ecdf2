// The type codes of the lobby protocol, in one table with each message's direction, the
// delivery a client asks for and the largest size a client may send. A message is the body of
// one playnet application message whose first little-endian u32 is its code. The server's hall
// refuses what the table does not let a client send; the client's sender takes the delivery
// from it. Append only: codes and sizes are on the wire.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zrt {
inline constexpr uint32_t MSG_WELCOME = 0;
inline constexpr uint32_t MSG_CHAT = 1;
inline constexpr uint32_t MSG_LAUNCH = 2;
inline constexpr uint32_t MSG_PLAYER_INFO = 100;
inline constexpr uint32_t MSG_PLAYER_LEFT = 101;
inline constexpr uint32_t MSG_GROUP_CREATED = 102;
inline constexpr uint32_t MSG_GROUP_REMOVED = 103;
inline constexpr uint32_t MSG_GROUP_JOIN = 104;
inline constexpr uint32_t MSG_GROUP_LEAVE = 105;
inline constexpr uint32_t MSG_STATE_REQUEST = 106;
inline constexpr uint32_t MSG_STATE_END = 107;
inline constexpr uint32_t MSG_GROUP_ID = 108;
inline constexpr uint32_t MSG_INVITE = 109;
inline constexpr uint32_t MSG_INVITE_REPLY = 110;
inline constexpr uint32_t MSG_NEWS = 111;

// Text fields the sizes below are made of (characters, without their NUL).
inline constexpr size_t kAddressChars = 15;  // dotted IPv4 text, field of 16 with its NUL
inline constexpr size_t kNameChars = 10;     // lobby name, field of 11 with its NUL
inline constexpr size_t kChatChars = 100;

inline constexpr size_t kPlayerInfoSize = 49;
inline constexpr size_t kGroupCreatedSize = 284;
// A message ending in a text: its fixed fields, the text, its NUL and one spare byte.
inline constexpr size_t kChatMaxSize = 12 + kChatChars + 2;
inline constexpr size_t kLaunchMaxSize = 8 + kAddressChars + 2;

// Who originates a message. Every client message goes to the server player, which relays it
// (to the hall or to the one player named at offset 8) or answers it.
enum class MessageDirection {
    ServerOnly,      // the server originates it; a client never sends it
    ClientToServer,  // a client sends it; the server consumes it
    Relayed,         // a client sends it and the server relays it
    Both,            // a client asks and the server answers with the same code
};

enum class Delivery { Plain, Guaranteed };

struct MessageInfo {
    uint32_t code;
    const char* name;
    // The most a client sends of it: its fixed size, or the size with the longest text for
    // chat and launch (shorter texts make it shorter). 0 when a client never sends it.
    size_t maxClientSize;
    MessageDirection direction;
    Delivery delivery;  // how a client sends it (meaningless when never sent by a client)
};

// clang-format off
inline constexpr MessageInfo kMessageTable[] = {
    {MSG_WELCOME,       "MSG_WELCOME",       0,                 MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_CHAT,          "MSG_CHAT",          kChatMaxSize,      MessageDirection::Relayed,        Delivery::Plain},
    {MSG_LAUNCH,        "MSG_LAUNCH",        kLaunchMaxSize,    MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_PLAYER_INFO,   "MSG_PLAYER_INFO",   kPlayerInfoSize,   MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_PLAYER_LEFT,   "MSG_PLAYER_LEFT",   0,                 MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_GROUP_CREATED, "MSG_GROUP_CREATED", kGroupCreatedSize, MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_GROUP_REMOVED, "MSG_GROUP_REMOVED", 0,                 MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_GROUP_JOIN,    "MSG_GROUP_JOIN",    12,                MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_GROUP_LEAVE,   "MSG_GROUP_LEAVE",   12,                MessageDirection::Relayed,        Delivery::Plain},
    {MSG_STATE_REQUEST, "MSG_STATE_REQUEST", 4,                 MessageDirection::ClientToServer, Delivery::Guaranteed},
    {MSG_STATE_END,     "MSG_STATE_END",     0,                 MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_GROUP_ID,      "MSG_GROUP_ID",      8,                 MessageDirection::Both,           Delivery::Plain},
    {MSG_INVITE,        "MSG_INVITE",        16,                MessageDirection::Relayed,        Delivery::Plain},
    {MSG_INVITE_REPLY,  "MSG_INVITE_REPLY",  16,                MessageDirection::Relayed,        Delivery::Plain},
    {MSG_NEWS,          "MSG_NEWS",          0,                 MessageDirection::ServerOnly,     Delivery::Plain},
};
// clang-format on

// A client sends exactly the messages that have a size: the server's acceptance rests on it.
constexpr bool sizesMatchDirections() {
    for (const MessageInfo& info : kMessageTable) {
        if ((info.maxClientSize == 0) != (info.direction == MessageDirection::ServerOnly))
            return false;
    }
    return true;
}
static_assert(sizesMatchDirections());

// The table row of a code, or nullptr for a code outside the protocol.
constexpr const MessageInfo* findMessageInfo(uint32_t code) {
    for (const MessageInfo& info : kMessageTable) {
        if (info.code == code) return &info;
    }
    return nullptr;
}

// The largest message of this code a client may send; 0 for codes a client never sends and
// codes outside the protocol.
constexpr size_t maxClientSize(uint32_t code) {
    const MessageInfo* info = findMessageInfo(code);
    return info ? info->maxClientSize : 0;
}

// How a client sends a message of this code (plain for codes outside the table).
constexpr Delivery deliveryOf(uint32_t code) {
    const MessageInfo* info = findMessageInfo(code);
    return info ? info->delivery : Delivery::Plain;
}

}  // namespace zrt
