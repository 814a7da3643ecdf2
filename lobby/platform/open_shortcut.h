// The shell's "open" of an internet shortcut file (.url): its address is handed to the
// desktop's web browser. The addresses come from servers, so only http and https ones are
// opened; anything else is refused.
#pragma once

#include <filesystem>

namespace zrt {

// True when the file's address was handed on.
bool OpenShortcut(const std::filesystem::path& file);

}  // namespace zrt
