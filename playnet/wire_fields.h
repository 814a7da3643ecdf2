// Field helpers shared by the session protocol's frames and the launch channel's records:
// 16-byte GUIDs and short texts with a length byte (no NUL).
#pragma once

#include <optional>
#include <string>

#include "playnet/bytes.h"
#include "playnet/guid.h"
#include "playnet/session_desc.h"

namespace playnet {

inline void WriteGuid(ByteWriter& w, const Guid& g) {
    w.bytes(g.bytes.data(), g.bytes.size());
}

inline Guid ReadGuid(ByteReader& r) {
    Guid g;
    r.bytes(g.bytes.data(), g.bytes.size());
    return g;
}

// Short text: one length byte, then the bytes (no NUL). Longer text is cut to 255 bytes.
inline void WriteText8(ByteWriter& w, const std::string& s) {
    size_t n = s.size() < kMaxNameLength ? s.size() : kMaxNameLength;
    w.u8(static_cast<uint8_t>(n));
    w.bytes(s.data(), n);
}

// A length byte beyond the data sets the reader's error flag and yields "".
inline std::string ReadText8(ByteReader& r) {
    size_t n = r.u8();
    if (n > r.remaining()) {
        r.skip(n);  // sets the error flag
        return {};
    }
    std::string s(n, '\0');
    r.bytes(s.data(), n);
    return s;
}

// A text that may be absent: one byte 0 (absent) or 1 (present, followed by the text).
inline void WriteOptionalText8(ByteWriter& w, const std::optional<std::string>& s) {
    w.u8(s ? 1 : 0);
    if (s) WriteText8(w, *s);
}

// Any marker other than 0 or 1 sets the reader's error flag.
inline std::optional<std::string> ReadOptionalText8(ByteReader& r) {
    uint8_t present = r.u8();
    if (present == 0) return std::nullopt;
    if (present != 1) {
        r.skip(r.remaining() + 1);  // sets the error flag
        return std::nullopt;
    }
    return ReadText8(r);
}

}  // namespace playnet
