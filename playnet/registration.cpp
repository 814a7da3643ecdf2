// Registration files of lobby-launchable applications.
#include "playnet/registration.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace playnet {
namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// The text of a registration file: only regular files (a FIFO must not block the caller),
// at most 64 KiB of them.
std::optional<std::string> readRegistrationFile(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return std::nullopt;
    std::ifstream f(p, std::ios::binary);
    if (!f) return std::nullopt;
    std::string text(64 * 1024, '\0');
    f.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(f.gcount()));
    return text;
}

}  // namespace

std::vector<std::string> RegistrationSearchDirs() {
    std::vector<std::string> dirs;
    std::string home = envOr("HOME", "/root");
    dirs.push_back(envOr("XDG_CONFIG_HOME", home + "/.config"));
    std::stringstream others(envOr("XDG_CONFIG_DIRS", "/etc/xdg"));
    std::string d;
    while (std::getline(others, d, ':')) {
        if (!d.empty()) dirs.push_back(d);
    }
    return dirs;
}

std::optional<AppRegistration> ParseRegistration(const std::string& text) {
    std::optional<std::string> path, file, guid;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq));
        std::string value = trim(line.substr(eq + 1));
        if (key == "Path")
            path = value;
        else if (key == "File")
            file = value;
        else if (key == "Guid")
            guid = value;
    }
    if (!path || !file || !guid) return std::nullopt;
    return AppRegistration{*path, *file, *guid};
}

std::optional<AppRegistration> ReadRegistration(const std::string& appName) {
    for (const std::string& dir : RegistrationSearchDirs()) {
        fs::path p = fs::path(dir) / "playnet" / "applications" / (appName + ".ini");
        if (std::optional<std::string> text = readRegistrationFile(p))
            return ParseRegistration(*text);
    }
    return std::nullopt;
}

std::optional<AppRegistration> FindRegistration(const Guid& application) {
    for (const std::string& dir : RegistrationSearchDirs()) {
        std::error_code ec;
        std::vector<fs::path> files;
        for (const auto& entry :
             fs::directory_iterator(fs::path(dir) / "playnet" / "applications", ec))
            if (entry.path().extension() == ".ini") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& p : files) {
            std::optional<std::string> text = readRegistrationFile(p);
            std::optional<AppRegistration> reg = text ? ParseRegistration(*text) : std::nullopt;
            if (!reg) continue;
            std::optional<Guid> guid = Guid::Parse(reg->guid);
            if (guid && *guid == application) return reg;
        }
    }
    return std::nullopt;
}

bool WriteRegistration(const std::string& appName, const AppRegistration& reg,
                       const std::string& configHome) {
    std::string home = configHome.empty() ? RegistrationSearchDirs().front() : configHome;
    fs::path dir = fs::path(home) / "playnet" / "applications";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return false;
    std::ofstream f(dir / (appName + ".ini"), std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f << "[Application]\n"
      << "Path=" << reg.path << "\n"
      << "File=" << reg.file << "\n"
      << "Guid=" << reg.guid << "\n";
    return static_cast<bool>(f.flush());
}

}  // namespace playnet
