// Encoders and decoders of the session protocol's frames.
#include "playnet/wire_messages.h"

#include <cstring>

#include "playnet/bytes.h"
#include "playnet/frame.h"
#include "playnet/wire_fields.h"

namespace playnet {
namespace {

std::vector<uint8_t> frame(FrameType type, const ByteWriter& w) {
    return EncodeFrame(static_cast<uint8_t>(type), w);
}

constexpr uint32_t kSessionPasswordFlag = 1;

void writeSession(ByteWriter& w, const SessionDesc& d) {
    WriteGuid(w, d.instance);
    WriteGuid(w, d.application);
    w.u32(d.maxPlayers);
    w.u32(d.currentPlayers);
    w.u32(d.passwordRequired ? kSessionPasswordFlag : 0);
    for (uint32_t u : d.user) w.u32(u);
    WriteText8(w, d.name);
}

SessionDesc readSession(ByteReader& r) {
    SessionDesc d;
    d.instance = ReadGuid(r);
    d.application = ReadGuid(r);
    d.maxPlayers = r.u32();
    d.currentPlayers = r.u32();
    d.passwordRequired = (r.u32() & kSessionPasswordFlag) != 0;
    for (uint32_t& u : d.user) u = r.u32();
    d.name = ReadText8(r);
    return d;
}

template <typename T>
std::optional<T> okOrNothing(const ByteReader& r, T value) {
    if (!r.ok()) return std::nullopt;
    return value;
}

}  // namespace

std::vector<uint8_t> HelloFrame::Encode() const {
    ByteWriter w;
    w.bytes(kHelloMagic, sizeof kHelloMagic);
    w.u16(version);
    w.u16(0);
    return frame(FrameType::Hello, w);
}

std::optional<HelloFrame> HelloFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    uint8_t magic[4];
    r.bytes(magic, sizeof magic);
    HelloFrame f;
    f.version = r.u16();
    r.u16();
    if (!r.ok() || std::memcmp(magic, kHelloMagic, sizeof magic) != 0) return std::nullopt;
    return f;
}

std::vector<uint8_t> ErrorFrame::Encode() const {
    ByteWriter w;
    w.u32(static_cast<uint32_t>(code));
    WriteText8(w, text);
    return frame(FrameType::Error, w);
}

std::optional<ErrorFrame> ErrorFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    ErrorFrame f;
    f.code = static_cast<WireError>(r.u32());
    f.text = ReadText8(r);
    return okOrNothing(r, f);
}

std::vector<uint8_t> EnumRequestFrame::Encode() const {
    ByteWriter w;
    w.u32(token);
    WriteGuid(w, application);
    return frame(FrameType::EnumRequest, w);
}

std::optional<EnumRequestFrame> EnumRequestFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    EnumRequestFrame f;
    f.token = r.u32();
    f.application = ReadGuid(r);
    return okOrNothing(r, f);
}

std::vector<uint8_t> EnumReplyFrame::Encode() const {
    ByteWriter w;
    w.u32(token);
    w.u16(0);  // count, patched below
    uint16_t count = 0;
    for (const SessionDesc& d : sessions) {
        ByteWriter one;
        writeSession(one, d);
        if (w.size() + one.size() + 1 > kMaxFrameLength || count == 0xFFFF) break;
        w.bytes(one.data().data(), one.size());
        ++count;
    }
    std::vector<uint8_t> body = w.take();
    body[4] = static_cast<uint8_t>(count);
    body[5] = static_cast<uint8_t>(count >> 8);
    return EncodeFrame(static_cast<uint8_t>(FrameType::EnumReply), body);
}

std::optional<EnumReplyFrame> EnumReplyFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    EnumReplyFrame f;
    f.token = r.u32();
    uint16_t count = r.u16();
    for (uint16_t i = 0; i < count && r.ok(); ++i) f.sessions.push_back(readSession(r));
    return okOrNothing(r, std::move(f));
}

std::vector<uint8_t> OpenRequestFrame::Encode() const {
    ByteWriter w;
    w.u32(token);
    WriteGuid(w, instance);
    WriteText8(w, password);
    return frame(FrameType::OpenRequest, w);
}

std::optional<OpenRequestFrame> OpenRequestFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    OpenRequestFrame f;
    f.token = r.u32();
    f.instance = ReadGuid(r);
    f.password = ReadText8(r);
    return okOrNothing(r, std::move(f));
}

std::vector<uint8_t> OpenReplyFrame::Encode() const {
    ByteWriter w;
    w.u32(token);
    w.u32(static_cast<uint32_t>(status));
    if (status == WireStatus::Ok) writeSession(w, session);
    return frame(FrameType::OpenReply, w);
}

std::optional<OpenReplyFrame> OpenReplyFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    OpenReplyFrame f;
    f.token = r.u32();
    f.status = static_cast<WireStatus>(r.u32());
    if (f.status == WireStatus::Ok) f.session = readSession(r);
    return okOrNothing(r, std::move(f));
}

std::vector<uint8_t> CreatePlayerFrame::Encode() const {
    ByteWriter w;
    w.u32(token);
    WriteText8(w, name);
    return frame(FrameType::CreatePlayer, w);
}

std::optional<CreatePlayerFrame> CreatePlayerFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    CreatePlayerFrame f;
    f.token = r.u32();
    f.name = ReadText8(r);
    return okOrNothing(r, std::move(f));
}

std::vector<uint8_t> CreatePlayerReplyFrame::Encode() const {
    ByteWriter w;
    w.u32(token);
    w.u32(static_cast<uint32_t>(status));
    w.u32(player);
    return frame(FrameType::CreatePlayerReply, w);
}

std::optional<CreatePlayerReplyFrame> CreatePlayerReplyFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    CreatePlayerReplyFrame f;
    f.token = r.u32();
    f.status = static_cast<WireStatus>(r.u32());
    f.player = r.u32();
    return okOrNothing(r, f);
}

std::vector<uint8_t> DestroyPlayerFrame::Encode() const {
    ByteWriter w;
    w.u32(player);
    return frame(FrameType::DestroyPlayer, w);
}

std::optional<DestroyPlayerFrame> DestroyPlayerFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    DestroyPlayerFrame f;
    f.player = r.u32();
    return okOrNothing(r, f);
}

std::vector<uint8_t> MessageFrame::EncodeFrom(FrameType type, PlayerId from, PlayerId to,
                                              uint32_t flags, const void* data, size_t size) {
    ByteWriter w;
    w.u32(static_cast<uint32_t>(1 + 12 + size));
    w.u8(static_cast<uint8_t>(type));
    w.u32(from);
    w.u32(to);
    w.u32(flags);
    w.bytes(data, size);
    return w.take();
}

std::vector<uint8_t> MessageFrame::Encode(FrameType type) const {
    return EncodeFrom(type, from, to, flags, data.data(), data.size());
}

std::optional<MessageFrame> MessageFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    MessageFrame f;
    f.from = r.u32();
    f.to = r.u32();
    f.flags = r.u32();
    if (!r.ok()) return std::nullopt;
    f.data.assign(body.begin() + static_cast<std::ptrdiff_t>(r.pos()), body.end());
    return f;
}

std::vector<uint8_t> PlayerNoticeFrame::Encode() const {
    ByteWriter w;
    w.u8(kind);
    w.u32(player);
    w.u32(currentPlayers);
    WriteText8(w, name);
    return frame(FrameType::PlayerNotice, w);
}

std::optional<PlayerNoticeFrame> PlayerNoticeFrame::Decode(Body body) {
    ByteReader r(body.data(), body.size());
    PlayerNoticeFrame f;
    uint8_t kind = r.u8();
    f.player = r.u32();
    f.currentPlayers = r.u32();
    f.name = ReadText8(r);
    if (kind != Created && kind != Destroyed) return std::nullopt;
    f.kind = static_cast<Kind>(kind);
    return okOrNothing(r, std::move(f));
}

}  // namespace playnet
