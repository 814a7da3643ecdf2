// WaitUntil: polls a condition every 10 ms for a bounded time, for the plain (non-Qt) tests that
// wait on other threads or processes; MsLeft: what is left of a deadline, for waits that block.
#pragma once

#include <chrono>
#include <thread>

// True as soon as `done()` holds; false when it still does not after `ms` milliseconds.
template <class Done>
bool WaitUntil(Done done, int ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Milliseconds left until `end`; 0 once it passed.
inline int MsLeft(std::chrono::steady_clock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}
