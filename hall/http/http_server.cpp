#include "http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "refusal.h"

namespace korvane::hall {

using Clock = std::chrono::steady_clock;

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// An address as text; an IPv4 client of an IPv6 socket as plain IPv4.
std::string AddressText(const sockaddr* addr) {
    char text[INET6_ADDRSTRLEN] = "";
    if (addr->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(addr)->sin_addr, text,
                  sizeof text);
    } else if (addr->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(addr)->sin6_addr, text,
                  sizeof text);
    }
    std::string out = text;
    if (out.rfind("::ffff:", 0) == 0 && out.find('.') != std::string::npos) out.erase(0, 7);
    return out;
}

// One TCP connection, from its accept to its close.
struct Connection {
    int fd = -1;
    std::string peer;
    // When the request being read must be whole; never while the server works on it.
    Clock::time_point deadline = Clock::time_point::max();
    bool stream = false;  // answered with a stream: counted in the streams' budget
};

// The connections of one kind: in all, and by address.
struct ConnectionCount {
    unsigned all = 0;
    std::map<std::string, unsigned> perAddress;

    void Add(const std::string& peer) {
        ++all;
        ++perAddress[peer];
    }
    void Remove(const std::string& peer) {
        --all;
        if (--perAddress[peer] == 0) perAddress.erase(peer);
    }
    unsigned Of(const std::string& peer) const {
        const auto it = perAddress.find(peer);
        return it == perAddress.end() ? 0 : it->second;
    }
};

}  // namespace

// A streamed answer on its connection: read from the MHD loop, woken from any thread.
struct StreamHandle {
    std::shared_ptr<HttpStream> stream;
    MHD_Connection* mhd = nullptr;
    HttpServer::Impl* server = nullptr;

    static ssize_t Read(void* cls, uint64_t pos, char* buffer, size_t max);
    static void Free(void* cls);
    std::mutex& Lock() { return stream->lock_; }
    std::function<void()>& Resume() { return stream->resume_; }
};

void HttpStream::Wake() {
    std::function<void()> resume;
    const std::lock_guard<std::mutex> hold(lock_);
    resume.swap(resume_);
    if (resume) resume();
}

// One request, from its headers to its answer.
struct Pending {
    HttpRequest request;
    MHD_Connection* mhd = nullptr;
    Connection* connection = nullptr;
    bool tooLarge = false;
    size_t reserved = 0;   // of the bodies' memory
    bool handled = false;  // given to the handler
    std::mutex lock;
    bool suspended = false;
    std::optional<HttpResponse> ready;
};

struct HttpServer::Impl {
    HttpLimits limits;
    HttpHandler handler;
    HttpLogger logger;
    MHD_Daemon* daemon = nullptr;
    MHD_socket listening = MHD_INVALID_SOCKET;

    std::mutex connectionsLock;
    std::set<Connection*> connections;
    ConnectionCount requests, watchers;  // the connections of each budget
    std::atomic<int> inFlight{0};  // requests handed to the handler and not yet answered
    std::atomic<size_t> bodyMemory{0};  // reserved by the bodies being received
    std::atomic<bool> toldNoFiles{false};

    std::mutex reaperLock;
    std::condition_variable reaperWake;
    bool stopping = false;
    std::thread reaper;

    std::mutex streamsLock;
    std::set<StreamHandle*> streams;
    bool streamsEnding = false;

    MHD_Response* StreamResponse(Pending& p, std::shared_ptr<HttpStream> stream) {
        auto* handle = new StreamHandle{std::move(stream), p.mhd, this};
        {
            const std::lock_guard<std::mutex> hold(streamsLock);
            streams.insert(handle);
        }
        MHD_Response* r = MHD_create_response_from_callback(
            MHD_SIZE_UNKNOWN, 16 * 1024, &StreamHandle::Read, handle, &StreamHandle::Free);
        if (!r) StreamHandle::Free(handle);
        return r;
    }

    // Every stream ends, so that no connection waits on one as the server stops.
    void EndStreams(std::chrono::milliseconds grace) {
        std::vector<std::shared_ptr<HttpStream>> open;
        {
            const std::lock_guard<std::mutex> hold(streamsLock);
            streamsEnding = true;
            for (StreamHandle* h : streams) open.push_back(h->stream);
        }
        for (const auto& stream : open) stream->Wake();
        const Clock::time_point until = Clock::now() + grace;
        for (;;) {
            {
                const std::lock_guard<std::mutex> hold(streamsLock);
                if (streams.empty() || Clock::now() > until) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    bool Unlimited(const std::string& peer) const {
        const auto& free = limits.unlimitedAddresses;
        return std::find(free.begin(), free.end(), peer) != free.end();
    }

    // The connection moves to the streams' budget, or false when that is full.
    bool BecomeStream(Connection& c) {
        const std::lock_guard<std::mutex> hold(connectionsLock);
        if (c.stream) return true;
        if (watchers.all >= limits.maxStreams ||
            (!Unlimited(c.peer) && watchers.Of(c.peer) >= limits.maxStreamsPerAddress)) {
            return false;
        }
        requests.Remove(c.peer);
        watchers.Add(c.peer);
        c.stream = true;
        return true;
    }

    MHD_Result Queue(Pending& p, HttpResponse response) {
        if (response.stream && !BecomeStream(*p.connection)) {
            response = Refused({"too-many-watchers", "the hall has all the watchers it can", 10});
        }
        MHD_Response* r = response.stream ? StreamResponse(p, std::move(response.stream))
                                          : MHD_create_response_from_buffer(response.body.size(),
                                                                            response.body.data(),
                                                                            MHD_RESPMEM_MUST_COPY);
        if (!r) return MHD_NO;
        MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, response.contentType.c_str());
        for (const auto& [name, value] : response.headers)
            MHD_add_response_header(r, name.c_str(), value.c_str());
        if (logger) logger(p.request, response);
        const MHD_Result result =
            MHD_queue_response(p.mhd, static_cast<unsigned>(response.status), r);
        MHD_destroy_response(r);
        return result;
    }

    // The server's own refusals, before a handler has the request: the connection closes
    // after them.
    static HttpResponse Refused(const Refusal& refusal) {
        HttpResponse r = Refuse(refusal);
        r.headers.emplace_back("Connection", "close");
        return r;
    }

    MHD_Result Begin(Pending& p) {
        HttpRequest& q = p.request;
        // Each value of one kind (a header, a query argument) into its list, in order.
        const auto addTo = [](void* list, MHD_ValueKind, const char* key, const char* value) {
            static_cast<decltype(q.headers)*>(list)->emplace_back(key, value ? value : "");
            return MHD_YES;
        };
        MHD_get_connection_values(p.mhd, MHD_HEADER_KIND, addTo, &q.headers);
        // A query argument whole, with its lengths: "%00" decodes to a byte that would end
        // a C string early.
        const auto addWhole = [](void* list, MHD_ValueKind, const char* key, size_t keySize,
                                 const char* value, size_t valueSize) {
            static_cast<decltype(q.query)*>(list)->emplace_back(
                std::string(key, keySize), value ? std::string(value, valueSize) : "");
            return MHD_YES;
        };
        MHD_get_connection_values_n(p.mhd, MHD_GET_ARGUMENT_KIND, addWhole, &q.query);
        if (q.headers.size() > limits.maxHeaders) {
            return Queue(p, Refused({"too-many-headers", "a request has at most " +
                                                             std::to_string(limits.maxHeaders) +
                                                             " headers"}));
        }
        const std::string* length = q.Header("Content-Length");
        const std::string limit = std::to_string(limits.maxBodyBytes / 1024) + " KiB";
        if (length && (length->size() > 18 || std::stoull("0" + *length) > limits.maxBodyBytes)) {
            return Queue(p, Refused({"too-large", "a request body is at most " + limit}));
        }
        if (length && !Reserve(p, std::stoull("0" + *length))) {
            return Queue(
                p, Refused({"busy", "the hall is receiving all the requests it can; try again"}));
        }
        p.request.body.reserve(p.reserved);
        return MHD_YES;
    }

    // Takes bytes more of the bodies' memory for the request's body, or false when they
    // are not there.
    bool Reserve(Pending& p, size_t bytes) {
        size_t now = bodyMemory.load();
        do {
            if (now + bytes > limits.maxBodyMemory) return false;
        } while (!bodyMemory.compare_exchange_weak(now, now + bytes));
        p.reserved += bytes;
        return true;
    }

    // The whole body is here: to the handler, which answers now or from another thread.
    MHD_Result Handle(Pending& p) {
        p.handled = true;
        {
            const std::lock_guard<std::mutex> hold(connectionsLock);
            p.connection->deadline = Clock::time_point::max();
        }
        ++inFlight;
        Pending* pending = &p;
        handler(p.request, [pending](HttpResponse response) {
            const std::lock_guard<std::mutex> hold(pending->lock);
            pending->ready = std::move(response);
            if (pending->suspended) {
                pending->suspended = false;
                MHD_resume_connection(pending->mhd);
            }
        });
        const std::lock_guard<std::mutex> hold(p.lock);
        if (p.ready) return Answer(p);
        p.suspended = true;
        MHD_suspend_connection(p.mhd);
        return MHD_YES;
    }

    MHD_Result Answer(Pending& p) {
        --inFlight;
        HttpResponse response = std::move(*p.ready);
        p.ready.reset();
        return Queue(p, std::move(response));
    }

    static MHD_Result Access(void* cls, MHD_Connection* mhd, const char* url, const char* method,
                             const char*, const char* data, size_t* size, void** context) {
        Impl& s = *static_cast<Impl*>(cls);
        auto* p = static_cast<Pending*>(*context);
        if (!p) {
            p = new Pending;
            *context = p;
            p->mhd = mhd;
            p->request.method = method;
            p->request.path = url;
            const MHD_ConnectionInfo* info =
                MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
            p->connection = static_cast<Connection*>(info->socket_context);
            p->request.peer = p->connection->peer;
            return s.Begin(*p);
        }
        if (*size > 0) {
            // Counted as it comes, whatever the framing; a body over the limit is not kept,
            // and a request past its deadline ends here.
            {
                const std::lock_guard<std::mutex> hold(s.connectionsLock);
                if (Clock::now() > p->connection->deadline) return MHD_NO;
            }
            const size_t whole = p->request.body.size() + *size;
            if (whole > s.limits.maxBodyBytes ||
                (whole > p->reserved && !s.Reserve(*p, whole - p->reserved))) {
                p->tooLarge = true;
                p->request.body.clear();
                p->request.body.shrink_to_fit();
                return MHD_NO;
            }
            if (!p->tooLarge) p->request.body.append(data, *size);
            *size = 0;
            return MHD_YES;
        }
        if (!p->handled) return s.Handle(*p);
        const std::lock_guard<std::mutex> hold(p->lock);
        return p->ready ? s.Answer(*p) : MHD_YES;
    }

    static void Completed(void* cls, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
        Impl& s = *static_cast<Impl*>(cls);
        auto* p = static_cast<Pending*>(*context);
        if (!p) return;
        {
            const std::lock_guard<std::mutex> hold(s.connectionsLock);
            if (p->connection) p->connection->deadline = Clock::now() + s.RequestTime();
        }
        s.bodyMemory -= p->reserved;
        delete p;
        *context = nullptr;
    }

    std::chrono::seconds RequestTime() const { return std::chrono::seconds(limits.requestSeconds); }

    static void Notify(void* cls, MHD_Connection* mhd, void** socketContext,
                       MHD_ConnectionNotificationCode code) {
        Impl& s = *static_cast<Impl*>(cls);
        const std::lock_guard<std::mutex> hold(s.connectionsLock);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* c = new Connection;
            c->fd = MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
            c->peer = AddressText(
                MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CLIENT_ADDRESS)->client_addr);
            c->deadline = Clock::now() + s.RequestTime();
            s.connections.insert(c);
            s.requests.Add(c->peer);
            *socketContext = c;
            return;
        }
        auto* c = static_cast<Connection*>(*socketContext);
        if (!c) return;
        // Closed here, before libmicrohttpd closes the socket: the reaper never touches
        // a descriptor that may already belong to another connection.
        s.connections.erase(c);
        (c->stream ? s.watchers : s.requests).Remove(c->peer);
        delete c;
        *socketContext = nullptr;
    }

    // A new connection counts as a request's until it becomes a stream: libmicrohttpd's own
    // limit is both budgets together, this one the requests' alone.
    static MHD_Result Admit(void* cls, const sockaddr* addr, socklen_t) {
        Impl& s = *static_cast<Impl*>(cls);
        const std::string peer = AddressText(addr);
        if (s.Unlimited(peer)) return MHD_YES;
        const std::lock_guard<std::mutex> hold(s.connectionsLock);
        return s.requests.all < s.limits.maxConnections &&
                       s.requests.Of(peer) < s.limits.maxConnectionsPerAddress
                   ? MHD_YES
                   : MHD_NO;
    }

    // libmicrohttpd's messages: only the one an operator must act on is said, once.
    static void Log(void* cls, const char* format, va_list args) {
        Impl& s = *static_cast<Impl*>(cls);
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        const bool noFiles = std::strstr(text, "resource limit") ||
                             std::strstr(text, std::strerror(EMFILE)) ||
                             std::strstr(text, std::strerror(ENFILE));
        if (!noFiles || s.toldNoFiles.exchange(true)) return;
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        std::fprintf(stderr,
                     "korvane-hall: a connection was refused: no file descriptor is left (the "
                     "open-file limit is %llu; raise LimitNOFILE)\n",
                     static_cast<unsigned long long>(files.rlim_cur));
    }

    // Ends the connections whose request has outlived its deadline: shutting the socket
    // down makes the event loop see it closed, and it cleans up as for any client gone.
    void Reap() {
        std::unique_lock<std::mutex> wait(reaperLock);
        while (!reaperWake.wait_for(wait, std::chrono::milliseconds(250),
                                    [this] { return stopping; })) {
            const Clock::time_point now = Clock::now();
            const std::lock_guard<std::mutex> hold(connectionsLock);
            for (Connection* c : connections) {
                if (c->deadline < now) {
                    shutdown(c->fd, SHUT_RDWR);
                    c->deadline = Clock::time_point::max();
                }
            }
        }
    }
};

ssize_t StreamHandle::Read(void* cls, uint64_t pos, char* buffer, size_t max) {
    auto* h = static_cast<StreamHandle*>(cls);
    {
        const std::lock_guard<std::mutex> hold(h->server->streamsLock);
        if (h->server->streamsEnding) return MHD_CONTENT_READER_END_OF_STREAM;
    }
    const std::lock_guard<std::mutex> hold(h->Lock());
    const long n = h->stream->Read(pos, buffer, max);
    if (n < 0) return MHD_CONTENT_READER_END_OF_STREAM;
    if (n == 0) {
        // Nothing yet: the connection leaves the loop until the stream is woken.
        MHD_Connection* mhd = h->mhd;
        h->Resume() = [mhd] { MHD_resume_connection(mhd); };
        MHD_suspend_connection(mhd);
    }
    return n;
}

void StreamHandle::Free(void* cls) {
    auto* h = static_cast<StreamHandle*>(cls);
    {
        const std::lock_guard<std::mutex> hold(h->Lock());
        h->Resume() = nullptr;  // the connection is gone: nothing to resume
    }
    {
        const std::lock_guard<std::mutex> hold(h->server->streamsLock);
        h->server->streams.erase(h);
    }
    delete h;
}

const std::string* HttpRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers) {
        if (SameName(key, name)) return &value;
    }
    return nullptr;
}

const std::string* HttpRequest::Query(const std::string& key) const {
    for (const auto& [k, value] : query) {
        if (k == key) return &value;
    }
    return nullptr;
}

HttpServer::HttpServer(HttpLimits limits, HttpHandler handler, HttpLogger logger)
    : impl_(std::make_unique<Impl>()) {
    impl_->limits = std::move(limits);
    impl_->handler = std::move(handler);
    impl_->logger = std::move(logger);
}

HttpServer::~HttpServer() {
    Stop(std::chrono::seconds(0));
}

bool HttpServer::Start(const std::string& address, int port, std::string& why) {
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST | AI_PASSIVE;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
        why = "not a numeric IPv4 or IPv6 address: " + address;
        return false;
    }
    sockaddr_storage where{};
    std::memcpy(&where, found->ai_addr, found->ai_addrlen);
    const bool v6 = found->ai_family == AF_INET6;
    freeaddrinfo(found);
    Impl& s = *impl_;
    // Every connection is a file: as many as the system lets this process have.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    unsigned threads = s.limits.threads ? s.limits.threads : std::thread::hardware_concurrency();
    threads = std::max(2u, threads);  // a pool of one is no pool to libmicrohttpd
    const unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME |
                           MHD_USE_ERROR_LOG |
                           (v6 ? unsigned(MHD_USE_IPv6) : 0u);
    s.daemon = MHD_start_daemon(
        flags, static_cast<uint16_t>(port), &Impl::Admit, &s, &Impl::Access, &s,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&where), MHD_OPTION_THREAD_POOL_SIZE,
        threads, MHD_OPTION_CONNECTION_LIMIT, s.limits.maxConnections + s.limits.maxStreams,
        MHD_OPTION_EXTERNAL_LOGGER, &Impl::Log, &s,
        MHD_OPTION_CONNECTION_TIMEOUT, s.limits.idleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        s.limits.maxHeaderBytes, MHD_OPTION_NOTIFY_COMPLETED, &Impl::Completed, &s,
        MHD_OPTION_NOTIFY_CONNECTION, &Impl::Notify, &s, MHD_OPTION_END);
    if (!s.daemon) {
        why = "cannot listen on " + address + " port " + std::to_string(port);
        return false;
    }
    s.reaper = std::thread([&s] { s.Reap(); });
    return true;
}

void HttpServer::StopAccepting() {
    // The listening socket is handed back to be closed once the daemon is gone.
    if (impl_->daemon && impl_->listening == MHD_INVALID_SOCKET)
        impl_->listening = MHD_quiesce_daemon(impl_->daemon);
}

void HttpServer::Stop(std::chrono::seconds grace) {
    Impl& s = *impl_;
    if (!s.daemon) return;
    StopAccepting();
    const Clock::time_point until = Clock::now() + grace;
    while (s.inFlight > 0 && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    s.EndStreams(std::chrono::milliseconds(1000));
    {
        const std::lock_guard<std::mutex> hold(s.reaperLock);
        s.stopping = true;
    }
    s.reaperWake.notify_all();
    if (s.reaper.joinable()) s.reaper.join();
    MHD_stop_daemon(s.daemon);
    s.daemon = nullptr;
    if (s.listening != MHD_INVALID_SOCKET) close(s.listening);
}

}  // namespace korvane::hall
