#pragma once
// The hall's HTTP side on libmicrohttpd: one epoll loop per core accepts, reads and answers
// every connection, so a slow or idle client costs a socket and a little memory, never a
// thread. Every request has a deadline for its headers and body together, a bounded number
// of headers and header bytes, and a body counted as it streams (chunked or not). A handler
// answers at once or later from another thread (the replays), the connection suspended
// meanwhile.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace korvane::hall {

struct HttpLimits {
    size_t maxBodyBytes = 1536 * 1024;
    size_t maxHeaderBytes = 16 * 1024;  // the request line and every header together
    unsigned maxHeaders = 48;
    unsigned maxConnections = 1000;
    unsigned maxConnectionsPerAddress = 32;
    // Connections answered with a stream (the watchers) leave the connections above for a
    // budget of their own, so that no crowd of them keeps a request out.
    unsigned maxStreams = 5000;
    unsigned maxStreamsPerAddress = 32;
    // The bodies being received, all together: past it a new one is answered 503.
    size_t maxBodyMemory = 32 * 1024 * 1024;
    unsigned idleSeconds = 15;     // a keep-alive connection with nothing to say
    unsigned requestSeconds = 30;  // from a request's first byte to its last
    unsigned threads = 0;          // 0: one per core
    // Addresses the per-address connection limit leaves alone (the proxies in front).
    std::vector<std::string> unlimitedAddresses;
};

struct HttpRequest {
    std::string method;
    std::string path;
    std::vector<std::pair<std::string, std::string>> query;  // decoded, in order
    std::vector<std::pair<std::string, std::string>> headers;
    std::string peer;  // the address the connection comes from
    std::string body;

    // The header's value (names compared without case), or nullptr.
    const std::string* Header(const std::string& name) const;
    const std::string* Query(const std::string& key) const;
};

// An answer sent as it is made (server-sent events): the server asks it for bytes whenever
// the client can take more; while it has none, the connection waits, holding no thread,
// until the stream is woken.
class HttpStream {
  public:
    virtual ~HttpStream() = default;
    // Up to max bytes from position pos: their number, 0 when none are there yet, -1 at
    // the end. Never called while Wake runs.
    virtual long Read(uint64_t pos, char* buffer, size_t max) = 0;
    // Bytes, or the end, have come: a waiting connection goes on. Any thread; never while
    // holding a lock that Read takes.
    void Wake();

  private:
    friend struct StreamHandle;
    std::mutex lock_;
    std::function<void()> resume_;  // set while the connection waits
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    std::shared_ptr<HttpStream> stream;  // instead of body: sent as it comes, chunked
};

// Answers a request; may be called from any thread, once.
using Reply = std::function<void(HttpResponse)>;
using HttpHandler = std::function<void(const HttpRequest&, Reply)>;
// Told of every answer sent (for the log and the counters); the route a request took is the
// handler's business, so only the request and the status come here.
using HttpLogger = std::function<void(const HttpRequest&, const HttpResponse&)>;

class HttpServer {
  public:
    HttpServer(HttpLimits limits, HttpHandler handler, HttpLogger logger);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on address (IPv4 or IPv6) and port, its open files raised to the most it
    // may have; the reason when it cannot.
    bool Start(const std::string& address, int port, std::string& why);
    // Takes no new connection; those open are still served.
    void StopAccepting();
    // Stops accepting, waits for the answers in flight (at most grace), then closes all.
    void Stop(std::chrono::seconds grace);

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace korvane::hall
