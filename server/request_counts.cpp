// Counting requests per kind.
#include "server/request_counts.h"

namespace zrtserver {

void RequestCounts::add(RequestKind kind, bool refused) {
    size_t i = static_cast<size_t>(kind);
    requests_[i].fetch_add(1, std::memory_order_relaxed);
    if (refused) refused_[i].fetch_add(1, std::memory_order_relaxed);
}

std::vector<RequestCounts::Row> RequestCounts::rows() const {
    static const char* const names[kKinds] = {"version", "database version", "login", "new account",
                                              "ladder",  "banner",           "other"};
    std::vector<Row> out;
    for (size_t i = 0; i < kKinds; ++i)
        out.push_back({names[i], requests_[i].load(std::memory_order_relaxed),
                       refused_[i].load(std::memory_order_relaxed)});
    return out;
}

}  // namespace zrtserver
