// An auto-reset event: set() wakes one waiter (or the next one to wait) and resets itself.
// Stands in for the platform's auto-reset event objects used for thread hand-overs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace playnet {

class AutoResetEvent {
  public:
    explicit AutoResetEvent(bool initiallySet = false) : set_(initiallySet) {}
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void set() {
        {
            std::lock_guard lock(mutex_);
            set_ = true;
        }
        cv_.notify_one();
    }
    void reset() {
        std::lock_guard lock(mutex_);
        set_ = false;
    }
    // Waits up to timeoutMs (negative: without limit). True when the event was set; the
    // event is then reset.
    bool wait(int timeoutMs) {
        std::unique_lock lock(mutex_);
        if (timeoutMs < 0) {
            cv_.wait(lock, [this] { return set_; });
        } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return set_; })) {
            return false;
        }
        set_ = false;
        return true;
    }
    // Tests without waiting; a set event is consumed by the test.
    bool tryWait() { return wait(0); }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool set_;
};

}  // namespace playnet
