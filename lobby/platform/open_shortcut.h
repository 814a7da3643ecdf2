// Opening an Internet shortcut file in the user's browser, as the shell's "open" does. The
// addresses in shortcut files come from servers, so only web addresses are handed on.
#pragma once

#include <filesystem>

namespace zrt {

// Opens the shortcut's address when it is an http or https address; false otherwise (file
// missing or unreadable, no URL line, another scheme) or when the browser could not be asked.
bool OpenShortcut(const std::filesystem::path& file);

}  // namespace zrt
