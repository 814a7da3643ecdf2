// The frames of the session protocol (PROTOCOL.md has the byte layouts): one struct per frame
// type with its encoder (to a whole frame) and its decoder (from a frame body, bounded by the
// body's size). Decoders ignore bytes after the last known field, so later versions may
// append fields.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "playnet/guid.h"
#include "playnet/session_desc.h"

namespace playnet {

inline constexpr uint16_t kProtocolVersion = 1;
inline constexpr uint8_t kHelloMagic[4] = {'P', 'N', 'E', 'T'};

// Frame type codes; append only.
enum class FrameType : uint8_t {
    Hello = 0x01,
    Heartbeat = 0x02,
    Error = 0x03,
    EnumRequest = 0x10,
    EnumReply = 0x11,
    OpenRequest = 0x12,
    OpenReply = 0x13,
    CreatePlayer = 0x14,
    CreatePlayerReply = 0x15,
    DestroyPlayer = 0x16,
    Send = 0x17,
    Deliver = 0x18,
    PlayerNotice = 0x19,
};

// Status of OpenReply and CreatePlayerReply.
enum class WireStatus : uint32_t {
    Ok = 0,
    NoSuchSession = 1,
    WrongPassword = 2,
    SessionFull = 3,
    AlreadyOpen = 4,
    NotOpen = 5,
    InvalidParams = 6,
};

// Codes of the Error frame.
enum class WireError : uint32_t {
    VersionMismatch = 1,
    ProtocolViolation = 2,
};

using Body = std::span<const uint8_t>;

struct HelloFrame {
    uint16_t version = kProtocolVersion;
    std::vector<uint8_t> Encode() const;
    static std::optional<HelloFrame> Decode(Body body);  // nothing when the magic is wrong
};

struct ErrorFrame {
    WireError code = WireError::ProtocolViolation;
    std::string text;
    std::vector<uint8_t> Encode() const;
    static std::optional<ErrorFrame> Decode(Body body);
};

struct EnumRequestFrame {
    uint32_t token = 0;
    Guid application;
    std::vector<uint8_t> Encode() const;
    static std::optional<EnumRequestFrame> Decode(Body body);
};

struct EnumReplyFrame {
    uint32_t token = 0;
    std::vector<SessionDesc> sessions;
    // Sessions that would not fit the frame are left out.
    std::vector<uint8_t> Encode() const;
    static std::optional<EnumReplyFrame> Decode(Body body);
};

struct OpenRequestFrame {
    uint32_t token = 0;
    Guid instance;
    std::string password;
    std::vector<uint8_t> Encode() const;
    static std::optional<OpenRequestFrame> Decode(Body body);
};

struct OpenReplyFrame {
    uint32_t token = 0;
    WireStatus status = WireStatus::Ok;
    SessionDesc session;  // only with status Ok
    std::vector<uint8_t> Encode() const;
    static std::optional<OpenReplyFrame> Decode(Body body);
};

struct CreatePlayerFrame {
    uint32_t token = 0;
    std::string name;
    std::vector<uint8_t> Encode() const;
    static std::optional<CreatePlayerFrame> Decode(Body body);
};

struct CreatePlayerReplyFrame {
    uint32_t token = 0;
    WireStatus status = WireStatus::Ok;
    PlayerId player = 0;
    std::vector<uint8_t> Encode() const;
    static std::optional<CreatePlayerReplyFrame> Decode(Body body);
};

struct DestroyPlayerFrame {
    PlayerId player = 0;
    std::vector<uint8_t> Encode() const;
    static std::optional<DestroyPlayerFrame> Decode(Body body);
};

// Send (client to host) and Deliver (host to client) share one layout.
struct MessageFrame {
    PlayerId from = 0;
    PlayerId to = 0;
    uint32_t flags = 0;
    std::vector<uint8_t> data;
    std::vector<uint8_t> Encode(FrameType type) const;
    static std::optional<MessageFrame> Decode(Body body);
    // Encodes without building a MessageFrame first (the data is copied once, into the frame).
    static std::vector<uint8_t> EncodeFrom(FrameType type, PlayerId from, PlayerId to,
                                           uint32_t flags, const void* data, size_t size);
};

struct PlayerNoticeFrame {
    enum Kind : uint8_t { Created = 1, Destroyed = 2 };
    Kind kind = Created;
    PlayerId player = 0;
    uint32_t currentPlayers = 0;
    std::string name;
    std::vector<uint8_t> Encode() const;
    static std::optional<PlayerNoticeFrame> Decode(Body body);
};

}  // namespace playnet
