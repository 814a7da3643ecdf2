// One readable line per event on stderr, with a UTC time stamp. Lines from different threads
// never interleave.
#pragma once

#include <string>

namespace zrtserver {

void logLine(const std::string& text);

// Client-supplied text made safe for a log line: anything but printable ASCII becomes '?'.
std::string printable(const std::string& text);

}  // namespace zrtserver
