#include "http_load.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace korvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

size_t HeaderValue(const std::string& head, const std::string& name, std::string& value) {
    // Header names are matched without regard to case, as HTTP says.
    std::string lower = head;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    const size_t at = lower.find("\r\n" + name + ":");
    if (at == std::string::npos) return std::string::npos;
    const size_t start = head.find_first_not_of(' ', at + name.size() + 3);
    value = head.substr(start, head.find("\r\n", start) - start);
    std::transform(value.begin(), value.end(), value.begin(), ::tolower);
    return at;
}

}  // namespace

HttpConnection::~HttpConnection() {
    Close();
}

bool HttpConnection::Connect() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    timeval timeout{30, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return true;
    Close();
    return false;
}

void HttpConnection::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool HttpConnection::ReadMore(std::string& into) {
    char buffer[65536];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    into.append(buffer, static_cast<size_t>(n));
    return true;
}

HttpAnswer HttpConnection::Send(const std::string& method, const std::string& path,
                                const std::string& body) {
    // A kept connection the server closed meanwhile is opened again once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool fresh = fd_ < 0;
        if (!Write(method, path, body)) return {};
        bool silent = false;
        HttpAnswer answer = ReadAnswer(&silent);
        if (answer.status == 0 && silent && !fresh) continue;
        return answer;
    }
    return {};
}

bool HttpConnection::Write(const std::string& method, const std::string& path,
                           const std::string& body, const std::string& headers) {
    std::string request = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers;
    if (method == "POST") {
        request +=
            "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\n";
    }
    request += "\r\n" + body;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool fresh = fd_ < 0;
        if (fresh && !Connect()) return false;
        if (send(fd_, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
            return true;
        }
        Close();
        if (fresh) return false;
    }
    return false;
}

HttpAnswer HttpConnection::ReadAnswer(bool* silent) {
    std::string in;
    size_t headEnd = std::string::npos;
    while ((headEnd = in.find("\r\n\r\n")) == std::string::npos) {
        if (!ReadMore(in)) break;
    }
    if (headEnd == std::string::npos) {
        Close();
        if (silent) *silent = in.empty();
        return {};
    }
    const std::string head = in.substr(0, headEnd + 2);
    HttpAnswer answer;
    answer.status = std::atoi(head.c_str() + head.find(' ') + 1);
    std::string rest = in.substr(headEnd + 4), value;
    if (answer.status == 204 || answer.status == 304) {
        // No body, whatever the headers say.
    } else if (HeaderValue(head, "content-length", value) != std::string::npos) {
        const size_t length = std::strtoull(value.c_str(), nullptr, 10);
        while (rest.size() < length && ReadMore(rest)) {
        }
        answer.body = rest.substr(0, length);
    } else if (HeaderValue(head, "transfer-encoding", value) != std::string::npos &&
               value.find("chunked") != std::string::npos) {
        for (size_t at = 0;;) {
            size_t line;
            while ((line = rest.find("\r\n", at)) == std::string::npos && ReadMore(rest)) {
            }
            const size_t size = std::strtoull(rest.c_str() + at, nullptr, 16);
            while (rest.size() < line + 2 + size + 2 && ReadMore(rest)) {
            }
            if (line == std::string::npos || size == 0) break;
            answer.body += rest.substr(line + 2, size);
            at = line + 2 + size + 2;
        }
    } else {
        while (ReadMore(rest)) {
        }
        answer.body = rest;
        Close();
    }
    if (HeaderValue(head, "connection", value) != std::string::npos && value == "close") {
        Close();
    }
    return answer;
}

double LatencyReport::Percentile(double p) const {
    if (seconds.empty()) return 0;
    std::vector<double> sorted = seconds;
    const size_t at = std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()));
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<ptrdiff_t>(at), sorted.end());
    return sorted[at];
}

LatencyReport ClosedLoop(int port, int connections, double seconds, double pause,
                         const std::function<Outcome(HttpConnection&, int64_t)>& request) {
    LatencyReport report;
    std::mutex lock;
    std::atomic<int64_t> next{0};
    const Clock::time_point start = Clock::now();
    const Clock::time_point end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<std::thread> threads;
    for (int c = 0; c < connections; ++c) {
        threads.emplace_back([&] {
            HttpConnection connection(port);
            std::vector<double> mine;
            int64_t failed = 0;
            while (Clock::now() < end) {
                if (pause > 0) std::this_thread::sleep_for(std::chrono::duration<double>(pause));
                const int64_t n = next++;
                const Clock::time_point sent = Clock::now();
                const Outcome outcome = request(connection, n);
                if (outcome == Outcome::kDone) break;
                if (outcome == Outcome::kCounted) {
                    mine.push_back(std::chrono::duration<double>(Clock::now() - sent).count());
                } else {
                    ++failed;
                }
            }
            const std::lock_guard<std::mutex> hold(lock);
            report.seconds.insert(report.seconds.end(), mine.begin(), mine.end());
            report.failed += failed;
        });
    }
    for (std::thread& t : threads) t.join();
    report.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    return report;
}

}  // namespace korvane::bench
