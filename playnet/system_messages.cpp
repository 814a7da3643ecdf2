// Layouts of the system messages.
#include "playnet/system_messages.h"

#include "playnet/bytes.h"

namespace playnet {

std::vector<uint8_t> SystemMessage::Encode() const {
    ByteWriter w;
    w.u32(type);
    if (type == kSysPlayerCreated || type == kSysPlayerDestroyed) w.u32(player);
    if (type == kSysPlayerCreated) w.textNul(name);
    return w.take();
}

std::optional<SystemMessage> SystemMessage::Decode(const void* data, size_t size) {
    ByteReader r(data, size);
    SystemMessage m;
    m.type = r.u32();
    switch (m.type) {
        case kSysSessionLost:
            break;
        case kSysPlayerCreated:
            m.player = r.u32();
            if (r.remaining() == 0) return std::nullopt;
            m.name = r.textToEnd(kMaxNameLength);
            break;
        case kSysPlayerDestroyed:
            m.player = r.u32();
            break;
        default:
            return std::nullopt;
    }
    if (!r.ok()) return std::nullopt;
    return m;
}

}  // namespace playnet
