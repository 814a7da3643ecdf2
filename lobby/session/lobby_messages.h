// Encoders and decoders of every lobby message. Both the client and the server use them: the
// client to send its requests and read what the server relays, the server to read requests and
// to build relays and the state snapshot.
//
// Decoders read only the bytes received. A message shorter than its fixed fields is refused
// (nullopt); texts run to their NUL or to the end of the message and are cut to their field:
// name 10, address 15, title 255, chat 100, news 4095 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lobby/session/message_types.h"
#include "lobby/session/player_table.h"

namespace zrt {

inline constexpr size_t kNewsChars = 4095;  // the receiving buffer holds 4096 with the NUL

using Bytes = std::vector<uint8_t>;

// The type code of a received message, or nullopt when it holds 3 bytes or fewer.
std::optional<uint32_t> messageCode(const uint8_t* data, size_t size);

// MSG_WELCOME: the server player's id.
Bytes encodeWelcome(uint32_t serverPlayerId);
std::optional<uint32_t> decodeWelcome(const uint8_t* data, size_t size);

// MSG_CHAT: target 0 is a line for the whole hall, otherwise a whisper to that player.
struct ChatMessage {
    uint32_t sender = 0;
    uint32_t target = 0;
    std::string text;  // at most kChatChars

    bool operator==(const ChatMessage&) const = default;
};
// 14 + n bytes: the text (cut to 100) with its NUL and one spare byte (0).
Bytes encodeChat(const ChatMessage& chat);
std::optional<ChatMessage> decodeChat(const uint8_t* data, size_t size);

// MSG_LAUNCH: the launched group and its host's dotted address.
struct LaunchMessage {
    uint32_t groupId = 0;
    std::string hostAddress;  // at most kAddressChars

    bool operator==(const LaunchMessage&) const = default;
};
// 10 + n bytes: the address (cut to 15) with its NUL and one spare byte (0).
Bytes encodeLaunch(const LaunchMessage& launch);
std::optional<LaunchMessage> decodeLaunch(const uint8_t* data, size_t size);

// MSG_PLAYER_INFO, 49 bytes, built from and read into a PlayerEntry (the ping is not sent and
// reads as -1).
Bytes encodePlayerInfo(const PlayerEntry& player);
std::optional<PlayerEntry> decodePlayerInfo(const uint8_t* data, size_t size);

// MSG_PLAYER_LEFT: the player's id.
Bytes encodePlayerLeft(uint32_t playerId);
std::optional<uint32_t> decodePlayerLeft(const uint8_t* data, size_t size);

// MSG_GROUP_CREATED, 284 bytes.
struct GroupCreatedMessage {
    uint32_t groupId = 0;
    uint32_t creator = 0;
    bool inviteOnly = false;
    bool savedGame = false;
    uint32_t capacity = 255;  // 2..7, or 255 when not set
    std::string title;        // at most 255
    bool launched = false;

    bool operator==(const GroupCreatedMessage&) const = default;
};
Bytes encodeGroupCreated(const GroupCreatedMessage& group);
std::optional<GroupCreatedMessage> decodeGroupCreated(const uint8_t* data, size_t size);

// MSG_GROUP_REMOVED: the group's id.
Bytes encodeGroupRemoved(uint32_t groupId);
std::optional<uint32_t> decodeGroupRemoved(const uint8_t* data, size_t size);

// MSG_GROUP_JOIN and MSG_GROUP_LEAVE, 12 bytes each.
struct GroupMembershipMessage {
    uint32_t player = 0;
    uint32_t groupId = 0;

    bool operator==(const GroupMembershipMessage&) const = default;
};
Bytes encodeGroupJoin(const GroupMembershipMessage& join);
Bytes encodeGroupLeave(const GroupMembershipMessage& leave);
// Reads either of the two; the caller has chosen by the code.
std::optional<GroupMembershipMessage> decodeGroupMembership(const uint8_t* data, size_t size);

// MSG_STATE_REQUEST (4 bytes) and MSG_STATE_END: the code alone.
Bytes encodeStateRequest();
Bytes encodeStateEnd();

// MSG_GROUP_ID: the request is 8 bytes with a second field of 0; the reply carries the id.
Bytes encodeGroupIdRequest();
Bytes encodeGroupIdReply(uint32_t groupId);
std::optional<uint32_t> decodeGroupIdReply(const uint8_t* data, size_t size);

// MSG_INVITE, 16 bytes.
struct InviteMessage {
    uint32_t inviter = 0;
    uint32_t invited = 0;  // the server delivers to this player
    uint32_t groupId = 0;

    bool operator==(const InviteMessage&) const = default;
};
Bytes encodeInvite(const InviteMessage& invite);
std::optional<InviteMessage> decodeInvite(const uint8_t* data, size_t size);

// MSG_INVITE_REPLY, 16 bytes.
struct InviteReplyMessage {
    uint32_t answering = 0;  // the invited player
    uint32_t inviter = 0;    // the server delivers to this player
    bool accepted = false;   // on the wire 1 or 0; any value but 0 reads as accepted

    bool operator==(const InviteReplyMessage&) const = default;
};
Bytes encodeInviteReply(const InviteReplyMessage& reply);
std::optional<InviteReplyMessage> decodeInviteReply(const uint8_t* data, size_t size);

// MSG_NEWS: a text for the user, cut to 4095 characters.
Bytes encodeNews(const std::string& text);
std::optional<std::string> decodeNews(const uint8_t* data, size_t size);

}  // namespace zrt
