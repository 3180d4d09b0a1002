#pragma once
// The replays' own threads: a few workers (one per core by default) and a bounded queue, so
// that the submissions wait for each other and nothing else does; a submission that finds
// the queue full is told to come back later rather than kept waiting.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace korvane::hall {

class ReplayPool {
  public:
    ReplayPool(unsigned workers, size_t queueLimit);
    ~ReplayPool();
    ReplayPool(const ReplayPool&) = delete;
    ReplayPool& operator=(const ReplayPool&) = delete;

    // Queues job, or false when the queue is full (the job is dropped).
    bool TrySubmit(std::function<void()> job);
    size_t Waiting() const;
    // Runs what is queued, then ends the workers.
    void Drain();

  private:
    void Work();

    size_t queueLimit_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace korvane::hall
