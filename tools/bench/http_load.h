#pragma once
// A small HTTP/1.1 client for measuring a korvane-hall: one keep-alive connection per
// thread, whole answers read (Content-Length or chunked), and the latency of each request.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvane::bench {

struct HttpAnswer {
    int status = 0;  // 0: no answer (refused, reset, closed early)
    std::string body;
};

class HttpConnection {
  public:
    explicit HttpConnection(int port) : port_(port) {}
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    // Sends one request on the open connection (or a new one) and reads the whole answer.
    HttpAnswer Send(const std::string& method, const std::string& path,
                    const std::string& body = "");

    // The same in two halves, for a client that does not wait for one answer before it
    // sends on another connection: the request sent (false when it cannot be), then its
    // answer read; silent (if given) is set when the connection closed before any byte.
    // headers: more header lines, each ending in CRLF.
    bool Write(const std::string& method, const std::string& path, const std::string& body = "",
               const std::string& headers = "");
    HttpAnswer ReadAnswer(bool* silent = nullptr);

  private:
    bool Connect();
    void Close();
    bool ReadMore(std::string& into);

    int port_;
    int fd_ = -1;
};

// Latencies in seconds, and what they add up to.
struct LatencyReport {
    std::vector<double> seconds;
    int64_t failed = 0;
    double wallSeconds = 0;

    double Percentile(double p) const;  // p in [0, 1]; 0 when nothing was measured
    double PerSecond() const { return wallSeconds > 0 ? seconds.size() / wallSeconds : 0; }
};

// `connections` threads each send `request` (given the connection and a running number)
// again and again, `pause` seconds apart, for `seconds`, or until it answers kDone: its latency
// counts when it answers kCounted, as a failure for kFailed.
enum class Outcome { kCounted, kFailed, kDone };
LatencyReport ClosedLoop(int port, int connections, double seconds, double pause,
                         const std::function<Outcome(HttpConnection&, int64_t)>& request);

}  // namespace korvane::bench
