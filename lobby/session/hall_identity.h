// What identifies the halls to the lobby and to the server that hosts them: the application
// GUID the hall sessions are enumerated by, and the password every hall is opened with. The
// halls' TCP port is playnet's default port (playnet::kDefaultPort).
#pragma once

#include "playnet/guid.h"

namespace zrt {

inline constexpr const char* kHallApplicationText = "{6A2F0C93-1B7E-4D58-8C41-2E9B7D0F5A36}";
inline constexpr const char* kHallPassword = "VOLKEN";
const playnet::Guid& HallApplication();

}  // namespace zrt
