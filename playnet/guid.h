// Guid: a 128-bit identifier (application and session instance ids) with its braced text
// form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}". The 16 bytes are kept, and sent on the wire,
// in the order the hex digits appear in the text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace playnet {

struct Guid {
    std::array<uint8_t, 16> bytes{};

    // Parses the braced text form; hex digits in either case. Nothing on any other text.
    static std::optional<Guid> Parse(std::string_view text);
    // A fresh random (version 4) id.
    static Guid Generate();

    // The braced text form with upper-case hex digits.
    std::string ToString() const;
    bool IsNull() const;

    friend bool operator==(const Guid&, const Guid&) = default;
    friend auto operator<=>(const Guid&, const Guid&) = default;
};

}  // namespace playnet

template <>
struct std::hash<playnet::Guid> {
    size_t operator()(const playnet::Guid& g) const noexcept {
        size_t h = 0;
        for (uint8_t b : g.bytes) h = h * 131 + b;
        return h;
    }
};
