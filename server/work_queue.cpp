// The bounded task queue with deadlines.
#include "server/work_queue.h"

namespace zrtserver {

WorkQueue::WorkQueue(std::string name, int threads, size_t capacity)
    : name_(std::move(name)), capacity_(capacity) {
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { serve(); });
}

WorkQueue::~WorkQueue() {
    join();
}

bool WorkQueue::submit(Clock::time_point deadline, std::function<void()> run,
                       std::function<void()> expired) {
    {
        std::lock_guard lock(mutex_);
        if (closing_ || tasks_.size() >= capacity_) return false;
        tasks_.push_back({deadline, std::move(run), std::move(expired)});
    }
    ready_.notify_one();
    return true;
}

void WorkQueue::join() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    ready_.notify_all();
    for (std::thread& t : threads_)
        if (t.joinable()) t.join();
}

size_t WorkQueue::waiting() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

void WorkQueue::serve() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return closing_ || !tasks_.empty(); });
            if (tasks_.empty()) return;  // closing, and nothing left to do
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        if (Clock::now() > task.deadline) {
            if (task.expired) task.expired();
        } else {
            task.run();
        }
    }
}

}  // namespace zrtserver
