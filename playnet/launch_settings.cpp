// Encoding of the connection settings and the lobby messages of the launch channel.
#include "playnet/launch_settings.h"

#include "playnet/bytes.h"
#include "playnet/wire_fields.h"

namespace playnet {

const Guid& TcpServiceProvider() {
    static const Guid g = *Guid::Parse("{0052EE32-4926-4B36-A483-60885FFFF199}");
    return g;
}

const Guid& AddressKindServiceProvider() {
    static const Guid g = *Guid::Parse("{8BCAD8D6-2962-4191-BB95-00FFCB4CF779}");
    return g;
}

const Guid& AddressKindInet() {
    static const Guid g = *Guid::Parse("{3ECDA3C5-B2A9-4405-96A4-376186B4E5DF}");
    return g;
}

std::optional<std::vector<uint8_t>> ConnectionSettings::addressData(const Guid& kind) const {
    for (const AddressElement& e : address)
        if (e.kind == kind) return e.data;
    return std::nullopt;
}

std::vector<uint8_t> ConnectionSettings::Encode() const {
    ByteWriter w;
    w.u16(kLaunchChannelVersion);
    w.u32(flags);
    w.u32(session.flags);
    WriteGuid(w, session.instance);
    WriteGuid(w, session.application);
    w.u32(session.maxPlayers);
    w.u32(session.currentPlayers);
    WriteOptionalText8(w, session.name);
    WriteOptionalText8(w, session.password);
    for (uint32_t u : session.user) w.u32(u);
    WriteOptionalText8(w, playerShortName);
    WriteOptionalText8(w, playerLongName);
    WriteGuid(w, serviceProvider);
    const size_t count =
        address.size() < kMaxAddressElements ? address.size() : kMaxAddressElements;
    w.u16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const AddressElement& e = address[i];
        const size_t n = e.data.size() < 0xffff ? e.data.size() : 0xffff;
        WriteGuid(w, e.kind);
        w.u16(static_cast<uint16_t>(n));
        w.bytes(e.data.data(), n);
    }
    return w.take();
}

std::optional<ConnectionSettings> ConnectionSettings::Decode(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    if (r.u16() != kLaunchChannelVersion) return std::nullopt;
    ConnectionSettings s;
    s.flags = r.u32();
    s.session.flags = r.u32();
    s.session.instance = ReadGuid(r);
    s.session.application = ReadGuid(r);
    s.session.maxPlayers = r.u32();
    s.session.currentPlayers = r.u32();
    s.session.name = ReadOptionalText8(r);
    s.session.password = ReadOptionalText8(r);
    for (uint32_t& u : s.session.user) u = r.u32();
    s.playerShortName = ReadOptionalText8(r);
    s.playerLongName = ReadOptionalText8(r);
    s.serviceProvider = ReadGuid(r);
    const size_t count = r.u16();
    if (count > kMaxAddressElements) return std::nullopt;
    for (size_t i = 0; i < count && r.ok(); ++i) {
        AddressElement e;
        e.kind = ReadGuid(r);
        const size_t n = r.u16();
        if (n > r.remaining()) return std::nullopt;
        e.data.resize(n);
        r.bytes(e.data.data(), n);
        s.address.push_back(std::move(e));
    }
    if (!r.ok()) return std::nullopt;
    return s;
}

std::vector<uint8_t> LobbyMessage::Encode() const {
    ByteWriter w;
    w.u32(flags);
    w.bytes(data.data(), data.size());
    return w.take();
}

std::optional<LobbyMessage> LobbyMessage::Decode(const uint8_t* bytes, size_t size) {
    ByteReader r(bytes, size);
    LobbyMessage m;
    m.flags = r.u32();
    if (!r.ok()) return std::nullopt;
    m.data.assign(bytes + 4, bytes + size);
    return m;
}

LobbyMessage LobbyMessage::System(uint32_t code) {
    ByteWriter w;
    w.u32(code);
    return {kLobbyMessageSystem, w.take()};
}

}  // namespace playnet
