// WorkQueue: a fixed number of threads taking tasks from a queue of bounded length. A task
// carries a deadline: one still waiting when its deadline passes is not run but expired (its
// request has waited too long; the connection is closed by then or about to be). Submitting to
// a full queue fails at once, so a flood of requests waits nowhere unbounded.
//
// The server keeps two: one for the quick requests (version, ladder, banner), one for the
// requests that hash a password (login, new account), so the quick ones never wait behind
// hashing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zrtserver {

class WorkQueue {
  public:
    using Clock = std::chrono::steady_clock;

    WorkQueue(std::string name, int threads, size_t capacity);
    ~WorkQueue();
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    // Queues `run`; `expired` runs instead when no thread took the task before `deadline`.
    // False, with nothing queued, when the queue holds `capacity` tasks or is shutting down.
    bool submit(Clock::time_point deadline, std::function<void()> run,
                std::function<void()> expired);
    // Runs what is queued (expired tasks expire), then ends the threads. Idempotent.
    void join();

    size_t waiting() const;
    const std::string& name() const { return name_; }

  private:
    struct Task {
        Clock::time_point deadline;
        std::function<void()> run;
        std::function<void()> expired;
    };
    void serve();

    const std::string name_;
    const size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Task> tasks_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace zrtserver
