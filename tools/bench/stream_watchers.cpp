#include "stream_watchers.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace korvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

int ConnectTo(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

StreamWatchers::StreamWatchers(int port, const std::string& path, int count, double seconds)
    : watchers_(static_cast<size_t>(count)) {
    thread_ = std::thread([this, port, path, seconds] { Run(port, path, seconds); });
}

StreamWatchers::~StreamWatchers() {
    Join();
    for (Watcher& w : watchers_) {
        if (w.fd >= 0) close(w.fd);
    }
}

void StreamWatchers::Join() {
    if (thread_.joinable()) thread_.join();
}

void StreamWatchers::Run(int port, const std::string& path, double seconds) {
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    const int poll = epoll_create1(0);
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    int open = 0;
    // Connected one after the other (a loopback connect is the kernel's alone), then read
    // without blocking.
    for (size_t i = 0; i < watchers_.size(); ++i) {
        Watcher& w = watchers_[i];
        w.fd = ConnectTo(port);
        if (w.fd < 0 || send(w.fd, request.data(), request.size(), MSG_NOSIGNAL) !=
                            static_cast<ssize_t>(request.size())) {
            w.closed = true;
            ++failed_;
            continue;
        }
        fcntl(w.fd, F_SETFL, fcntl(w.fd, F_GETFL) | O_NONBLOCK);
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = i;
        epoll_ctl(poll, EPOLL_CTL_ADD, w.fd, &event);
        ++open;
    }
    std::vector<epoll_event> events(256);
    while (open > 0 && Clock::now() < end) {
        const int n = epoll_wait(poll, events.data(), static_cast<int>(events.size()), 100);
        const Time now = Clock::now();
        for (int k = 0; k < n; ++k) {
            Watcher& w = watchers_[events[k].data.u64];
            if (w.closed || Receive(w, now)) continue;
            epoll_ctl(poll, EPOLL_CTL_DEL, w.fd, nullptr);
            close(w.fd);
            w.fd = -1;
            w.closed = true;
            --open;
        }
    }
    close(poll);
}

bool StreamWatchers::Receive(Watcher& w, Time now) {
    char buffer[16384];
    for (;;) {
        const ssize_t n = recv(w.fd, buffer, sizeof buffer, 0);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
        w.in.append(buffer, static_cast<size_t>(n));
        if (!w.headRead) {
            const size_t headEnd = w.in.find("\r\n\r\n");
            if (headEnd == std::string::npos) continue;
            std::string head = w.in.substr(0, headEnd);
            std::transform(head.begin(), head.end(), head.begin(), ::tolower);
            if (head.find(" 200 ") == std::string::npos) {
                ++failed_;
                return false;
            }
            w.headRead = true;
            w.chunked = head.find("transfer-encoding: chunked") != std::string::npos;
            w.in.erase(0, headEnd + 4);
            ++answered_;
        }
        Decode(w, now);
        if (w.ended) return false;
    }
}

void StreamWatchers::Decode(Watcher& w, Time now) {
    if (!w.chunked) {
        w.body += w.in;
        w.in.clear();
        return Lines(w, now);
    }
    size_t at = 0;
    for (;;) {
        if (w.chunkLeft > 0) {
            const size_t n = std::min(w.chunkLeft, w.in.size() - at);
            w.body.append(w.in, at, n);
            at += n;
            w.chunkLeft -= n;
            if (w.chunkLeft > 0) break;
            w.chunkEnd = true;
        }
        if (w.chunkEnd) {
            if (w.in.size() - at < 2) break;
            at += 2;
            w.chunkEnd = false;
        }
        const size_t eol = w.in.find("\r\n", at);
        if (eol == std::string::npos) break;
        w.chunkLeft = std::strtoull(w.in.c_str() + at, nullptr, 16);
        at = eol + 2;
        if (w.chunkLeft == 0) {  // the last chunk: the stream is over
            w.ended = true;
            break;
        }
    }
    w.in.erase(0, at);
    Lines(w, now);
}

void StreamWatchers::Lines(Watcher& w, Time now) {
    static const std::string mark = "data: # frame ";
    size_t at = 0;
    for (size_t eol; (eol = w.body.find('\n', at)) != std::string::npos; at = eol + 1) {
        if (w.body.compare(at, mark.size(), mark) == 0) {
            w.arrivals.emplace_back(std::strtoll(w.body.c_str() + at + mark.size(), nullptr, 10),
                                    now);
        } else if (w.body.compare(at, eol - at, "event: end") == 0) {
            w.ended = true;
        }
    }
    w.body.erase(0, at);
}

}  // namespace korvane::bench
