// The launch channel from the launched program's side. The input is what the lobby wrote into
// the channel before it closed its end: LaunchedApp takes the settings only from a whole
// Settings frame that comes first and decodes, says "settings read" back then and only then,
// and never waits for more than the channel holds. The input is also decoded directly as a
// ConnectionSettings body and as a LobbyMessage body: what decodes encodes to bytes that decode
// to the same value.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "fuzz/support/raw_peer.h"
#include "playnet/frame.h"
#include "playnet/launch_settings.h"
#include "playnet/launched_app.h"

namespace {

using namespace playnet;

constexpr int kWaitMs = 30000;  // bounds a hang only: the lobby's end is closed

// What the program should make of the channel's bytes, read at once.
std::optional<ConnectionSettings> FirstSettings(const uint8_t* data, size_t size) {
    FrameDecoder decoder;
    decoder.Append(data, size);
    uint8_t type = 0;
    std::span<const uint8_t> body;
    if (decoder.Next(type, body) != FrameDecoder::Status::Frame ||
        type != static_cast<uint8_t>(LaunchFrame::Settings))
        return std::nullopt;
    return ConnectionSettings::Decode(body.data(), body.size());
}

void CheckDirectDecoders(const uint8_t* data, size_t size) {
    if (std::optional<ConnectionSettings> s = ConnectionSettings::Decode(data, size)) {
        FUZZ_CHECK(s->address.size() <= kMaxAddressElements);
        const std::vector<uint8_t> again = s->Encode();
        std::optional<ConnectionSettings> back =
            ConnectionSettings::Decode(again.data(), again.size());
        FUZZ_CHECK(back && *back == *s);
    }
    if (std::optional<LobbyMessage> m = LobbyMessage::Decode(data, size))
        FUZZ_CHECK(m->Encode() == std::vector<uint8_t>(data, data + size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckDirectDecoders(data, size);

    int pair[2];
    FUZZ_CHECK(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0);
    const ssize_t n = size ? ::send(pair[0], data, size, MSG_DONTWAIT | MSG_NOSIGNAL) : 0;
    const size_t sent = n > 0 ? static_cast<size_t>(n) : 0;  // what fits the socket's buffer
    ::shutdown(pair[0], SHUT_WR);

    const std::optional<ConnectionSettings> expected = FirstSettings(data, sent);
    {
        LaunchedApp app(pair[1]);
        const std::optional<ConnectionSettings> got = app.GetConnectionSettings(kWaitMs);
        FUZZ_CHECK(got.has_value() == expected.has_value());
        if (got) {
            FUZZ_CHECK(*got == *expected);
            FUZZ_CHECK(app.GetConnectionSettings(0) == got);  // kept, not read again
        }
    }

    // The program's end is closed now: what it said is all there.
    zrtfuzz::FrameReader reader(pair[0]);
    std::optional<zrtfuzz::RawFrame> said = reader.Next(kWaitMs);
    if (expected) {
        FUZZ_CHECK(said && said->type == static_cast<uint8_t>(LaunchFrame::LobbyMessage));
        FUZZ_CHECK(said->body == LobbyMessage::System(kLobbySysConnectionSettingsRead).Encode());
        said = reader.Next(kWaitMs);
    }
    FUZZ_CHECK(!said && reader.ended && !reader.garbage);
    ::close(pair[0]);
    return 0;
}
