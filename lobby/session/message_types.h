// The type codes of the lobby protocol, in one table with each message's size as a client
// sends it and its direction. A message is the body of one playnet application message whose
// first little-endian u32 is its code. Append only: codes and sizes are on the wire.
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

// Who originates a message. Every client message goes to the server player, which relays it
// (to the hall or to the one player named at offset 8) or answers it.
enum class MessageDirection {
    ServerOnly,      // the server originates it; a client never sends it
    ClientToServer,  // a client sends it; the server consumes it
    Relayed,         // a client sends it and the server relays it
    Both,            // a client asks and the server answers with the same code
};

enum class Delivery { Plain, Guaranteed };

// Sizes: a fixed size in bytes, or kVariableSize (fixed part + text + NUL + spare byte).
inline constexpr int kVariableSize = -1;
inline constexpr int kNotSentByClient = 0;

struct MessageInfo {
    uint32_t code;
    const char* name;
    int clientSize;
    MessageDirection direction;
    Delivery delivery;  // how a client sends it (meaningless when never sent by a client)
};

// clang-format off
inline constexpr MessageInfo kMessageTable[] = {
    {MSG_WELCOME,       "MSG_WELCOME",       kNotSentByClient, MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_CHAT,          "MSG_CHAT",          kVariableSize,    MessageDirection::Relayed,        Delivery::Plain},      // text + 14
    {MSG_LAUNCH,        "MSG_LAUNCH",        kVariableSize,    MessageDirection::Relayed,        Delivery::Guaranteed}, // address + 10
    {MSG_PLAYER_INFO,   "MSG_PLAYER_INFO",   49,               MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_PLAYER_LEFT,   "MSG_PLAYER_LEFT",   kNotSentByClient, MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_GROUP_CREATED, "MSG_GROUP_CREATED", 284,              MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_GROUP_REMOVED, "MSG_GROUP_REMOVED", kNotSentByClient, MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_GROUP_JOIN,    "MSG_GROUP_JOIN",    12,               MessageDirection::Relayed,        Delivery::Guaranteed},
    {MSG_GROUP_LEAVE,   "MSG_GROUP_LEAVE",   12,               MessageDirection::Relayed,        Delivery::Plain},
    {MSG_STATE_REQUEST, "MSG_STATE_REQUEST", 4,                MessageDirection::ClientToServer, Delivery::Guaranteed},
    {MSG_STATE_END,     "MSG_STATE_END",     kNotSentByClient, MessageDirection::ServerOnly,     Delivery::Plain},
    {MSG_GROUP_ID,      "MSG_GROUP_ID",      8,                MessageDirection::Both,           Delivery::Plain},
    {MSG_INVITE,        "MSG_INVITE",        16,               MessageDirection::Relayed,        Delivery::Plain},
    {MSG_INVITE_REPLY,  "MSG_INVITE_REPLY",  16,               MessageDirection::Relayed,        Delivery::Plain},
    {MSG_NEWS,          "MSG_NEWS",          kNotSentByClient, MessageDirection::ServerOnly,     Delivery::Plain},
};
// clang-format on

// The table row of a code, or nullptr for a code outside the protocol.
constexpr const MessageInfo* findMessageInfo(uint32_t code) {
    for (const MessageInfo& info : kMessageTable) {
        if (info.code == code) return &info;
    }
    return nullptr;
}

// How a client sends a message of this code (plain for codes outside the table).
constexpr Delivery deliveryOf(uint32_t code) {
    const MessageInfo* info = findMessageInfo(code);
    return info ? info->delivery : Delivery::Plain;
}

}  // namespace zrt
