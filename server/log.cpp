// The server log.
#include "server/log.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace zrtserver {

void logLine(const std::string& text) {
    static std::mutex mutex;
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &tm);
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "%s.%03dZ %s\n", stamp, static_cast<int>(ms), text.c_str());
    std::fflush(stderr);
}

std::string printable(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e) c = '?';
    return out;
}

}  // namespace zrtserver
