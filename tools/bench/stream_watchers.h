#pragma once
// Many watchers of one live game's event stream, all read by one thread: non-blocking
// sockets on one epoll, as cheap for the benchmark as the hall means them to be for itself.
// Each watcher notes when each batch's event reached it, by the batch's `# frame F` mark.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace korvane::bench {

class StreamWatchers {
  public:
    using Time = std::chrono::steady_clock::time_point;
    struct Watcher {
        int fd = -1;
        std::string in;    // bytes not yet decoded
        std::string body;  // decoded bytes not yet split into lines
        bool headRead = false;
        bool chunked = false;
        size_t chunkLeft = 0;   // bytes of the current chunk still to come
        bool chunkEnd = false;  // the CRLF after a chunk is still to come
        bool ended = false;     // the stream's `event: end`
        bool closed = false;
        std::vector<std::pair<int64_t, Time>> arrivals;  // frame mark, when it came
    };

    // Opens `count` streams of GET `path` on the loopback port and reads them on a thread of
    // its own until each has ended or closed, or `seconds` have passed.
    StreamWatchers(int port, const std::string& path, int count, double seconds);
    ~StreamWatchers();
    StreamWatchers(const StreamWatchers&) = delete;
    StreamWatchers& operator=(const StreamWatchers&) = delete;

    // The watchers whose answer's head has come (status 200); those that failed count too.
    int Answered() const { return answered_; }
    int Failed() const { return failed_; }
    // Waits for the reading thread; then the watchers may be read.
    void Join();
    const std::vector<Watcher>& watchers() const { return watchers_; }

  private:
    void Run(int port, const std::string& path, double seconds);
    // Reads what the socket has; false when the watcher is done with.
    bool Receive(Watcher& w, Time now);
    void Decode(Watcher& w, Time now);
    void Lines(Watcher& w, Time now);

    std::vector<Watcher> watchers_;
    std::atomic<int> answered_{0};
    std::atomic<int> failed_{0};
    std::thread thread_;
};

}  // namespace korvane::bench
