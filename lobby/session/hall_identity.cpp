// The hall sessions' application GUID, parsed once.
#include "lobby/session/hall_identity.h"

namespace zrt {

const playnet::Guid& HallApplication() {
    static const playnet::Guid app = *playnet::Guid::Parse(kHallApplicationText);
    return app;
}

}  // namespace zrt
