// Parsing of zrtgame's "--key value" options.
#include "game/options.h"

#include <algorithm>
#include <charconv>

namespace zrtgame {

bool Options::parse(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& key = args[i];
        if (key.size() < 3 || key.compare(0, 2, "--") != 0) {
            error_ = "unexpected argument '" + key + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            error_ = "option " + key + " needs a value";
            return false;
        }
        values_[key.substr(2)] = args[i + 1];
    }
    return true;
}

std::optional<std::string> Options::get(const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::string Options::get(const std::string& key, const std::string& fallback) const {
    auto v = get(key);
    return v ? *v : fallback;
}

std::optional<unsigned> Options::number(const std::string& key, unsigned fallback, unsigned max) {
    auto v = get(key);
    if (!v) return fallback;
    unsigned n = 0;
    auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
    if (ec != std::errc() || end != v->data() + v->size() || n > max) {
        error_ = "--" + key + " must be a number from 0 to " + std::to_string(max);
        return std::nullopt;
    }
    return n;
}

bool Options::onlyKnown(const std::vector<std::string>& known) {
    for (const auto& [key, value] : values_) {
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            error_ = "unknown option --" + key;
            return false;
        }
    }
    return true;
}

}  // namespace zrtgame
