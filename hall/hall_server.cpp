#include "hall_server.h"

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <random>

#include "store/database_url.h"
#include "hall_routes.h"
#include "http/http_server.h"
#include "replay_pool.h"
#include "store/score_table.h"
#include "table_watcher.h"

namespace korvane::hall {

namespace {

// This hall's name in its notices to the others, so that it skips its own.
std::string InstanceName() {
    std::random_device device;
    return std::to_string(device()) + std::to_string(device());
}

HttpLimits LimitsOf(const HallOptions& o) {
    HttpLimits limits;
    limits.maxConnections = unsigned(o.maxConnections);
    limits.maxConnectionsPerAddress = unsigned(o.maxConnectionsPerAddress);
    limits.idleSeconds = unsigned(o.idleTimeout);
    limits.requestSeconds = unsigned(o.requestTimeout);
    limits.threads = unsigned(o.httpThreads);
    limits.unlimitedAddresses = o.trustedProxies;
    limits.maxStreams = unsigned(o.watchers);
    limits.maxStreamsPerAddress = unsigned(o.watchersPerAddress);
    limits.maxBodyMemory = size_t(o.bodyMemoryMiB) * 1024 * 1024;
    return limits;
}

}  // namespace

int Serve(const HallOptions& options, Store& store) {
    // SIGTERM and SIGINT are waited for here; every other thread leaves them alone.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    ScoreTable table;
    try {
        TableWatcher::Reload(store, table);
    } catch (const StoreError& e) {
        std::fprintf(stderr, "korvane-hall: %s\n", e.what());
        return 1;
    }
    const std::string instance = InstanceName();
    ReplayPool pool(unsigned(options.replayWorkers), size_t(options.replayQueue));
    HallRoutes routes(options, store, table, pool, instance);
    HttpServer server(
        LimitsOf(options), [&routes](const HttpRequest& q, Reply r) { routes.Handle(q, r); },
        [&routes](const HttpRequest& q, const HttpResponse& r) { routes.Answered(q, r); });
    std::string why;
    if (!server.Start(options.listen, options.port, why)) {
        std::fprintf(stderr, "korvane-hall: %s\n", why.c_str());
        return 1;
    }
    TableWatcher watcher(store, table, instance, int64_t{options.keepDays} * 86400);
    watcher.start();
    routes.live().Start();
    std::printf("korvane-hall: the hall of fame on http://%s:%d/ (database %s)\n",
                options.listen.find(':') == std::string::npos
                    ? options.listen.c_str()
                    : ("[" + options.listen + "]").c_str(),
                options.port, MaskedDatabase(options.database).c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::printf("korvane-hall: stopping (signal %d)\n", signal);
    std::fflush(stdout);
    // No new connection; the submissions taken are replayed (a new one is told the hall is
    // busy) and answered, then all closes: no connection is left waiting for a replay.
    server.StopAccepting();
    pool.Drain();
    routes.live().Stop();
    server.Stop(std::chrono::seconds(10));
    watcher.quit();
    watcher.wait();
    return 0;
}

}  // namespace korvane::hall
