#pragma once
// What the hall has been doing, counted for Prometheus: requests by route, method and status
// class, replays and the time they took, refusals by code, live play's games. The gauges
// (the replays waiting, the open tickets, the scores, the live games and their watchers) are
// read when the page is asked for.
//
// Every label takes its values from a fixed set, whatever a client sends: a method the hall
// does not serve is OTHER, a status its class, a code the hall does not answer other. So the
// page stays a few kilobytes of valid text, and the hall's memory stays what it is.

#include <prometheus/counter.h>
#include <prometheus/family.h>
#include <prometheus/gauge.h>
#include <prometheus/histogram.h>
#include <prometheus/registry.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace korvane::hall {

// Live play's counts as live play keeps them, handed over when the page is asked for.
struct LiveCounts {
    int64_t started = 0, ended = 0, refused = 0, abandoned = 0;
    int64_t games = 0, watchers = 0;  // now
    int64_t taken = 0;  // games another hall began, taken over here
};

class Metrics {
  public:
    Metrics();

    // route is one of the hall's route names, never a path as a client wrote it.
    void Request(const std::string& route, const std::string& method, int status);
    void Replay(double seconds, bool accepted);
    void Refused(const std::string& code);

    // The text format, version 0.0.4.
    std::string Render(size_t replaysWaiting, int64_t openTickets, int64_t scores,
                       const LiveCounts& live);

  private:
    using Counters = prometheus::Family<prometheus::Counter>;
    using Gauges = prometheus::Family<prometheus::Gauge>;

    std::mutex lock_;  // one page made at a time: the gauges set, the live counts caught up
    prometheus::Registry registry_;
    Counters& requests_;
    Counters& refusals_;
    Counters& replays_;
    prometheus::Counter& accepted_;
    prometheus::Counter& refused_;
    prometheus::Histogram& replaySeconds_;
    prometheus::Gauge& queueDepth_;
    prometheus::Gauge& openTickets_;
    prometheus::Gauge& scores_;
    prometheus::Counter& liveStarted_;
    Counters& liveOver_;
    prometheus::Counter& liveEnded_;
    prometheus::Counter& liveRefused_;
    prometheus::Counter& liveAbandoned_;
    prometheus::Counter& liveTaken_;
    prometheus::Gauge& liveGames_;
    prometheus::Gauge& liveWatchers_;
};

}  // namespace korvane::hall
