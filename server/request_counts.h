// RequestCounts: requests and refusals per kind since the server started, for the operator's
// status. Lock-free counters, so counting costs the request path nothing it waits on.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace zrtserver {

enum class RequestKind { Version, DatabaseVersion, Login, NewAccount, Ladder, Banner, Other };

class RequestCounts {
  public:
    // A refusal is any answer but the one asked for: closed without a reply, a login not
    // accepted, an account not created.
    void add(RequestKind kind, bool refused);

    struct Row {
        std::string kind;
        uint64_t requests = 0;
        uint64_t refused = 0;
    };
    std::vector<Row> rows() const;

  private:
    static constexpr size_t kKinds = static_cast<size_t>(RequestKind::Other) + 1;
    std::array<std::atomic<uint64_t>, kKinds> requests_{};
    std::array<std::atomic<uint64_t>, kKinds> refused_{};
};

}  // namespace zrtserver
