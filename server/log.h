// One readable line per event on stderr, with a UTC time stamp. Lines from different threads
// never interleave.
#pragma once

#include <string>

namespace zrtserver {

void logLine(const std::string& text);

}  // namespace zrtserver
