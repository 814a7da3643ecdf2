// Writing and reading Internet shortcut files.
#include "lobby/data/url_shortcut.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>

namespace zrt {

std::string UrlShortcutText(const std::string& address) {
    std::string clean;
    for (char c : address) {
        if (c == '\0') break;
        if (c == '\r' || c == '\n') continue;
        clean.push_back(c);
        if (clean.size() == kMaxShortcutAddress) break;
    }
    return "[InternetShortcut]\r\nURL=" + clean + "\r\n";
}

bool WriteUrlShortcut(const std::string& address, const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    std::string text = UrlShortcutText(address);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

std::optional<std::string> ReadShortcutUrl(const std::filesystem::path& file) {
    // Only a regular file is read (opened without blocking, so a FIFO cannot stall us).
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    char buf[4096];
    size_t n = 0;
    while (n < sizeof buf) {
        ssize_t r = ::read(fd, buf + n, sizeof buf - n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        n += static_cast<size_t>(r);
    }
    ::close(fd);
    std::string text(buf, n);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string line = text.substr(pos, eol - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 4, "URL=") == 0) return line.substr(4);
        pos = eol + 1;
    }
    return std::nullopt;
}

static bool StartsWithNoCase(const std::string& s, const char* prefix) {
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

bool IsWebAddress(const std::string& address) {
    size_t schemeLen = StartsWithNoCase(address, "https://")  ? 8
                       : StartsWithNoCase(address, "http://") ? 7
                                                              : 0;
    if (schemeLen == 0 || address.size() == schemeLen) return false;
    for (unsigned char c : address)
        if (c <= 0x20 || c == 0x7F) return false;
    return true;
}

std::optional<std::string> OpenableShortcutUrl(const std::filesystem::path& file) {
    auto url = ReadShortcutUrl(file);
    if (!url || !IsWebAddress(*url)) return std::nullopt;
    return url;
}

}  // namespace zrt
