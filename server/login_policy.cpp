// Login plausibility and the gemstone grant.
#include "server/login_policy.h"

#include <ctime>

namespace zrtserver {

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

std::string utcDay() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return buf;
}

}  // namespace zrtserver
