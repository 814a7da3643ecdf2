// What a lobby hands to the application it launches (the connection settings), and what the
// application tells the lobby back (lobby messages). Both travel over the launch channel, a
// socket pair the launcher creates and the application inherits; its framing is the session
// protocol's (length, type, body) with the frame types below. See PROTOCOL.md, "Lobby launch".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "playnet/guid.h"
#include "playnet/session_desc.h"

namespace playnet {

// Launch channel frame types (append only).
enum class LaunchFrame : uint8_t {
    Settings = 0x40,      // launcher to application: ConnectionSettings
    LobbyMessage = 0x41,  // application to launcher: u32 flags, data
};
inline constexpr uint16_t kLaunchChannelVersion = 1;

// ConnectionSettings::flags: what the application does with the session.
inline constexpr uint32_t kConnectJoinSession = 1;
inline constexpr uint32_t kConnectCreateSession = 2;

// Lobby message flags: bit 0 marks a system message (first u32 = one of the codes below).
inline constexpr uint32_t kLobbyMessageSystem = 1;
inline constexpr uint32_t kLobbySysConnectionSettingsRead = 1;
inline constexpr uint32_t kLobbySysConnectFailed = 2;
inline constexpr uint32_t kLobbySysConnectSucceeded = 3;
inline constexpr uint32_t kLobbySysAppTerminated = 4;
inline constexpr uint32_t kLobbySysNewConnectionSettings = 10;

// The service provider of playnet's sessions (TCP) and the kinds of address elements.
const Guid& TcpServiceProvider();
const Guid& AddressKindServiceProvider();  // data: the 16 bytes of a service provider's id
const Guid& AddressKindInet();             // data: the host's address text and its NUL

struct AddressElement {
    Guid kind;
    std::vector<uint8_t> data;
    friend bool operator==(const AddressElement&, const AddressElement&) = default;
};
inline constexpr size_t kMaxAddressElements = 16;

// The session the application creates or joins.
struct LaunchSession {
    uint32_t flags = 0;
    Guid instance;
    Guid application;
    uint32_t maxPlayers = 0;
    uint32_t currentPlayers = 0;
    std::optional<std::string> name;
    std::optional<std::string> password;
    std::array<uint32_t, 4> user{};
    friend bool operator==(const LaunchSession&, const LaunchSession&) = default;
};

struct ConnectionSettings {
    uint32_t flags = 0;  // kConnectJoinSession or kConnectCreateSession
    LaunchSession session;
    std::optional<std::string> playerShortName;
    std::optional<std::string> playerLongName;
    Guid serviceProvider;
    std::vector<AddressElement> address;
    friend bool operator==(const ConnectionSettings&, const ConnectionSettings&) = default;

    // The data of the first address element of `kind`; nothing when there is none.
    std::optional<std::vector<uint8_t>> addressData(const Guid& kind) const;

    // The Settings frame's body.
    std::vector<uint8_t> Encode() const;
    // Nothing when the bytes are short, of another version, or hold more than
    // kMaxAddressElements address elements.
    static std::optional<ConnectionSettings> Decode(const uint8_t* data, size_t size);
};

// A lobby message as the launcher returns it.
struct LobbyMessage {
    uint32_t flags = 0;
    std::vector<uint8_t> data;

    bool isSystem() const { return (flags & kLobbyMessageSystem) != 0; }
    // The LobbyMessage frame's body, and back (nothing when shorter than its flags).
    std::vector<uint8_t> Encode() const;
    static std::optional<LobbyMessage> Decode(const uint8_t* data, size_t size);
    // A system message holding only its code.
    static LobbyMessage System(uint32_t code);
};

}  // namespace playnet
