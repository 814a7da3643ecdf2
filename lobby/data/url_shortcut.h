// Internet shortcut files: "[InternetShortcut]\r\nURL=<address>\r\n", through which the lobby
// opens web pages. Addresses come from servers, so what is written is kept to one line and
// what is read back is only handed on when it is a web address.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zrt {

constexpr size_t kMaxShortcutAddress = 229;  // keeps the whole text within 255 characters

// The shortcut text for an address: CR and LF removed, the address ended at a NUL and cut to
// 229 characters.
std::string UrlShortcutText(const std::string& address);

// Creates or truncates the file and writes the shortcut text (no NUL). False when the file
// cannot be written; the old file (if any) then stays as it was.
bool WriteUrlShortcut(const std::string& address, const std::filesystem::path& file);

// The address of the first "URL=" line of a shortcut file (at most 4096 bytes are read);
// nothing when the file cannot be read or has no such line.
std::optional<std::string> ReadShortcutUrl(const std::filesystem::path& file);

// True for "http://" and "https://" addresses (scheme in any letter case) with something
// after the scheme, and no control characters or spaces.
bool IsWebAddress(const std::string& address);

// The address to open for a shortcut file: its URL line when that is a web address.
std::optional<std::string> OpenableShortcutUrl(const std::filesystem::path& file);

}  // namespace zrt
