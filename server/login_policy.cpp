// Login names, login plausibility and the gemstone grant.
#include "server/login_policy.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "lobby/net/request_code.h"

namespace zrtserver {

bool isValidLoginName(const std::string& name) {
    if (name.empty() || name.size() > zrt::kLoginNameMax) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return c > ' ' && static_cast<unsigned char>(c) < 0x7f; });
}

std::string lowerCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool plausibleLogin(const zrt::AccountStats& stored, const zrt::AccountStats& sent) {
    auto games = [](const zrt::AccountStats& s) {
        return static_cast<uint32_t>(s.won) + s.lost + s.quit;
    };
    if (games(sent) < games(stored)) return false;
    if (sent.month < 1 || sent.month > 12 || sent.day < 1 || sent.day > 31) return false;
    return true;
}

uint8_t grantFor(const GemstoneConfig& config, const std::string& lastGrantDay,
                 const std::string& today) {
    if (config.grant == 0) return 0;
    if (config.policy == GrantPolicy::Daily && lastGrantDay == today) return 0;
    return config.grant;
}

namespace {
std::string utcFormat(const char* format) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}
}  // namespace

std::string utcDay() {
    return utcFormat("%Y-%m-%d");
}

std::string utcNow() {
    return utcFormat("%Y-%m-%dT%H:%M:%SZ");
}

}  // namespace zrtserver
