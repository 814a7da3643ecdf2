// Field-by-field encoding and bounds-checked decoding of the lobby messages.
#include "lobby/session/lobby_messages.h"

#include <algorithm>
#include <string_view>

#include "playnet/bytes.h"

namespace zrt {
namespace {

using playnet::ByteReader;
using playnet::ByteWriter;

// Text fields that end with a NUL and one spare byte (chat, launch): at most maxChars
// characters, cut at an embedded NUL.
void writeTextAndSpare(ByteWriter& w, std::string_view text, size_t maxChars) {
    w.textNul(text.substr(0, std::min(text.size(), maxChars)));
    w.u8(0);
}

Bytes codeOnly(uint32_t code) {
    ByteWriter w;
    w.u32(code);
    return w.take();
}

Bytes codeAndId(uint32_t code, uint32_t id) {
    ByteWriter w;
    w.u32(code);
    w.u32(id);
    return w.take();
}

// Reads the code and one id; nullopt when the code differs or the id did not arrive.
std::optional<uint32_t> readCodeAndId(const uint8_t* data, size_t size, uint32_t code) {
    ByteReader r(data, size);
    if (r.u32() != code) return std::nullopt;
    uint32_t id = r.u32();
    if (!r.ok()) return std::nullopt;
    return id;
}

}  // namespace

std::optional<uint32_t> messageCode(const uint8_t* data, size_t size) {
    if (data == nullptr || size < 4) return std::nullopt;
    ByteReader r(data, size);
    return r.u32();
}

Bytes encodeWelcome(uint32_t serverPlayerId) {
    return codeAndId(MSG_WELCOME, serverPlayerId);
}

std::optional<uint32_t> decodeWelcome(const uint8_t* data, size_t size) {
    return readCodeAndId(data, size, MSG_WELCOME);
}

Bytes encodeChat(const ChatMessage& chat) {
    ByteWriter w;
    w.u32(MSG_CHAT);
    w.u32(chat.sender);
    w.u32(chat.target);
    writeTextAndSpare(w, chat.text, kChatChars);
    return w.take();
}

std::optional<ChatMessage> decodeChat(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_CHAT) return std::nullopt;
    ChatMessage chat;
    chat.sender = r.u32();
    chat.target = r.u32();
    if (!r.ok()) return std::nullopt;
    chat.text = r.textToEnd(kChatChars);
    return chat;
}

Bytes encodeLaunch(const LaunchMessage& launch) {
    ByteWriter w;
    w.u32(MSG_LAUNCH);
    w.u32(launch.groupId);
    writeTextAndSpare(w, launch.hostAddress, kAddressChars);
    return w.take();
}

std::optional<LaunchMessage> decodeLaunch(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_LAUNCH) return std::nullopt;
    LaunchMessage launch;
    launch.groupId = r.u32();
    if (!r.ok()) return std::nullopt;
    launch.hostAddress = r.textToEnd(kAddressChars);
    return launch;
}

Bytes encodePlayerInfo(const PlayerEntry& p) {
    ByteWriter w;
    w.u32(MSG_PLAYER_INFO);
    w.u32(p.id);
    w.text(p.address, kAddressChars + 1);
    w.text(p.name, kNameChars + 1);
    w.u16(p.portrait);
    w.u16(p.country);
    w.u16(p.score);
    w.u16(p.victories);
    w.u16(p.defeats);
    w.u16(p.quits);
    w.u16(p.gemstones);
    return w.take();
}

std::optional<PlayerEntry> decodePlayerInfo(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_PLAYER_INFO) return std::nullopt;
    PlayerEntry p;
    p.id = r.u32();
    p.address = r.text(kAddressChars + 1);
    p.name = r.text(kNameChars + 1);
    p.portrait = r.u16();
    p.country = r.u16();
    p.score = r.u16();
    p.victories = r.u16();
    p.defeats = r.u16();
    p.quits = r.u16();
    p.gemstones = r.u16();
    if (!r.ok()) return std::nullopt;
    return p;
}

Bytes encodePlayerLeft(uint32_t playerId) {
    return codeAndId(MSG_PLAYER_LEFT, playerId);
}

std::optional<uint32_t> decodePlayerLeft(const uint8_t* data, size_t size) {
    return readCodeAndId(data, size, MSG_PLAYER_LEFT);
}

Bytes encodeGroupCreated(const GroupCreatedMessage& g) {
    ByteWriter w;
    w.u32(MSG_GROUP_CREATED);
    w.u32(g.groupId);
    w.u32(g.creator);
    w.u32(g.inviteOnly ? 1 : 0);
    w.u32(g.savedGame ? 1 : 0);
    w.u32(g.capacity);
    w.text(g.title, 256);
    w.u32(g.launched ? 1 : 0);
    return w.take();
}

std::optional<GroupCreatedMessage> decodeGroupCreated(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_GROUP_CREATED) return std::nullopt;
    GroupCreatedMessage g;
    g.groupId = r.u32();
    g.creator = r.u32();
    g.inviteOnly = r.u32() != 0;
    g.savedGame = r.u32() != 0;
    g.capacity = r.u32();
    g.title = r.text(256);
    g.launched = r.u32() != 0;
    if (!r.ok()) return std::nullopt;
    return g;
}

Bytes encodeGroupRemoved(uint32_t groupId) {
    return codeAndId(MSG_GROUP_REMOVED, groupId);
}

std::optional<uint32_t> decodeGroupRemoved(const uint8_t* data, size_t size) {
    return readCodeAndId(data, size, MSG_GROUP_REMOVED);
}

static Bytes encodeMembership(uint32_t code, const GroupMembershipMessage& m) {
    ByteWriter w;
    w.u32(code);
    w.u32(m.player);
    w.u32(m.groupId);
    return w.take();
}

Bytes encodeGroupJoin(const GroupMembershipMessage& join) {
    return encodeMembership(MSG_GROUP_JOIN, join);
}

Bytes encodeGroupLeave(const GroupMembershipMessage& leave) {
    return encodeMembership(MSG_GROUP_LEAVE, leave);
}

std::optional<GroupMembershipMessage> decodeGroupMembership(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    uint32_t code = r.u32();
    if (code != MSG_GROUP_JOIN && code != MSG_GROUP_LEAVE) return std::nullopt;
    GroupMembershipMessage m;
    m.player = r.u32();
    m.groupId = r.u32();
    if (!r.ok()) return std::nullopt;
    return m;
}

Bytes encodeStateRequest() {
    return codeOnly(MSG_STATE_REQUEST);
}
Bytes encodeStateEnd() {
    return codeOnly(MSG_STATE_END);
}

// The request's second field carries nothing; it is sent as 0.
Bytes encodeGroupIdRequest() {
    return codeAndId(MSG_GROUP_ID, 0);
}
Bytes encodeGroupIdReply(uint32_t groupId) {
    return codeAndId(MSG_GROUP_ID, groupId);
}

std::optional<uint32_t> decodeGroupIdReply(const uint8_t* data, size_t size) {
    return readCodeAndId(data, size, MSG_GROUP_ID);
}

Bytes encodeInvite(const InviteMessage& invite) {
    ByteWriter w;
    w.u32(MSG_INVITE);
    w.u32(invite.inviter);
    w.u32(invite.invited);
    w.u32(invite.groupId);
    return w.take();
}

std::optional<InviteMessage> decodeInvite(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_INVITE) return std::nullopt;
    InviteMessage invite;
    invite.inviter = r.u32();
    invite.invited = r.u32();
    invite.groupId = r.u32();
    if (!r.ok()) return std::nullopt;
    return invite;
}

Bytes encodeInviteReply(const InviteReplyMessage& reply) {
    ByteWriter w;
    w.u32(MSG_INVITE_REPLY);
    w.u32(reply.answering);
    w.u32(reply.inviter);
    w.u32(reply.accepted ? 1 : 0);
    return w.take();
}

std::optional<InviteReplyMessage> decodeInviteReply(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_INVITE_REPLY) return std::nullopt;
    InviteReplyMessage reply;
    reply.answering = r.u32();
    reply.inviter = r.u32();
    reply.accepted = r.u32() != 0;
    if (!r.ok()) return std::nullopt;
    return reply;
}

Bytes encodeNews(const std::string& text) {
    ByteWriter w;
    w.u32(MSG_NEWS);
    std::string_view view(text);
    w.textNul(view.substr(0, std::min(view.size(), kNewsChars)));
    return w.take();
}

std::optional<std::string> decodeNews(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u32() != MSG_NEWS) return std::nullopt;
    if (!r.ok()) return std::nullopt;
    return r.textToEnd(kNewsChars);
}

}  // namespace zrt
