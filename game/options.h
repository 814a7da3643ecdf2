// Command-line options of zrtgame: "--name value" pairs after the subcommand.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zrtgame {

class Options {
  public:
    // Parses "--key value" pairs; false (with a message in error()) for anything else.
    bool parse(const std::vector<std::string>& args);

    std::optional<std::string> get(const std::string& key) const;
    std::string get(const std::string& key, const std::string& fallback) const;
    bool has(const std::string& key) const { return values_.count(key) != 0; }

    // An unsigned number option no larger than `max`; `fallback` when absent; nothing (and a
    // message in error()) when present but not such a number.
    std::optional<unsigned> number(const std::string& key, unsigned fallback, unsigned max);

    // False (with a message) when an option outside `known` was given.
    bool onlyKnown(const std::vector<std::string>& known);

    const std::string& error() const { return error_; }

  private:
    std::map<std::string, std::string> values_;
    std::string error_;
};

}  // namespace zrtgame
