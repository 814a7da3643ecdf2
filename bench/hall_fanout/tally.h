// What the receivers of a fan-out bench share: the step being measured, its delivery count and
// latency samples, and the receivers lost. Both the hall bots and the ENet clients count here.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace fanout {

using Clock = std::chrono::steady_clock;

inline int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// The text of a measured line: the step and the time it was sent.
inline std::string lineText(int step, int64_t sentNs) {
    return std::to_string(step) + " " + std::to_string(sentNs);
}

struct Tally {
    std::atomic<int> step{-1};
    std::atomic<uint64_t> delivered{0};
    std::atomic<int64_t> lastNs{0};
    std::atomic<int> lost{0};  // receivers whose link ended
    std::atomic<int> receivers{0};
    std::mutex mutex;
    std::vector<uint32_t> latencyUs;

    // A receiver got the line `text`; `samples` is the receiving thread's own buffer.
    void received(const char* text, size_t size, std::vector<uint32_t>& samples) {
        int lineStep = 0;
        long long sent = 0;
        std::string s(text, strnlen(text, size));
        if (std::sscanf(s.c_str(), "%d %lld", &lineStep, &sent) != 2) return;
        if (lineStep != step.load(std::memory_order_relaxed)) return;
        int64_t now = nowNs();
        samples.push_back(static_cast<uint32_t>((now - sent) / 1000));
        delivered.fetch_add(1, std::memory_order_relaxed);
        lastNs.store(now, std::memory_order_relaxed);
        if (samples.size() >= 4096) flush(samples);
    }
    void flush(std::vector<uint32_t>& samples) {
        if (samples.empty()) return;
        std::lock_guard lock(mutex);
        latencyUs.insert(latencyUs.end(), samples.begin(), samples.end());
        samples.clear();
    }
};

struct StepResult {
    int lines = 0;
    uint64_t expected = 0;
    uint64_t delivered = 0;
    double achieved = 0;  // deliveries per second, first send to last delivery
    uint32_t p50 = 0, p99 = 0, max = 0;
    int lost = 0;
    bool held = false;
};

// Completes a step's result from its latency samples (sorted here): the percentiles, and
// whether the step held - every delivery arrived, nobody was lost, and at least 90% of the
// offered rate was delivered over the step's `stepSeconds`.
inline void summarize(StepResult& r, std::vector<uint32_t>& latencyUs, double stepSeconds) {
    if (!latencyUs.empty()) {
        std::sort(latencyUs.begin(), latencyUs.end());
        r.p50 = latencyUs[latencyUs.size() / 2];
        r.p99 = latencyUs[latencyUs.size() * 99 / 100];
        r.max = latencyUs.back();
    }
    double offered = static_cast<double>(r.expected) / stepSeconds;
    r.held = r.delivered == r.expected && r.lost == 0 && r.achieved >= 0.9 * offered;
}

}  // namespace fanout
