#include "replay_pool.h"

#include <algorithm>

namespace korvane::hall {

ReplayPool::ReplayPool(unsigned workers, size_t queueLimit) : queueLimit_(queueLimit) {
    workers = std::max(1u, workers ? workers : std::thread::hardware_concurrency());
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

ReplayPool::~ReplayPool() {
    Drain();
}

bool ReplayPool::TrySubmit(std::function<void()> job) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        if (stopping_ || queue_.size() >= queueLimit_) return false;
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
    return true;
}

size_t ReplayPool::Waiting() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return queue_.size();
}

void ReplayPool::Drain() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) {
        if (t.joinable()) t.join();
    }
    workers_.clear();
}

void ReplayPool::Work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> wait(lock_);
            wake_.wait(wait, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job();
    }
}

}  // namespace korvane::hall
