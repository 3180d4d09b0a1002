#include "metrics.h"

#include <prometheus/text_serializer.h>

#include "refusal.h"

namespace korvane::hall {

namespace {

std::string MethodLabel(const std::string& method) {
    return method == "GET" || method == "POST" || method == "HEAD" ? method : "OTHER";
}

std::string StatusClass(int status) {
    return status >= 100 && status <= 599 ? std::to_string(status / 100) + "xx" : "other";
}

// A code the hall does not answer with (one added since, or one a database shared with
// other halls holds) is counted as other rather than by its text.
std::string CodeLabel(const std::string& code) {
    return IsRefusalCode(code) ? code : "other";
}

prometheus::Family<prometheus::Counter>& CounterFamily(prometheus::Registry& registry,
                                                       const std::string& name,
                                                       const std::string& help) {
    return prometheus::BuildCounter().Name(name).Help(help).Register(registry);
}

prometheus::Gauge& OneGauge(prometheus::Registry& registry, const std::string& name,
                            const std::string& help) {
    return prometheus::BuildGauge().Name(name).Help(help).Register(registry).Add({});
}

// A counter kept elsewhere, brought up to its total: a counter only ever goes up, by what
// was counted since the last page.
void CatchUp(prometheus::Counter& counter, int64_t total) {
    counter.Increment(static_cast<double>(total) - counter.Value());
}

}  // namespace

Metrics::Metrics()
    : requests_(CounterFamily(registry_, "korvane_hall_requests_total",
                              "HTTP requests answered, by route, method and status class.")),
      refusals_(CounterFamily(registry_, "korvane_hall_refusals_total",
                              "Requests refused, by the error code answered.")),
      replays_(CounterFamily(registry_, "korvane_hall_replays_total",
                             "Submissions replayed, by outcome.")),
      accepted_(replays_.Add({{"result", "accepted"}})),
      refused_(replays_.Add({{"result", "refused"}})),
      replaySeconds_(prometheus::BuildHistogram()
                         .Name("korvane_hall_replay_seconds")
                         .Help("The time a replay took, its checks included.")
                         .Register(registry_)
                         .Add({}, prometheus::Histogram::BucketBoundaries{0.01, 0.05, 0.1, 0.25,
                                                                          0.5, 1, 2.5})),
      queueDepth_(OneGauge(registry_, "korvane_hall_replay_queue_depth",
                           "Submissions waiting for a replay worker.")),
      openTickets_(
          OneGauge(registry_, "korvane_hall_open_tickets", "Tickets neither used nor expired.")),
      scores_(OneGauge(registry_, "korvane_hall_scores",
                       "Scores in the table (hidden ones left out).")),
      liveStarted_(CounterFamily(registry_, "korvane_hall_live_started_total",
                                 "Live games opened on this hall.")
                       .Add({})),
      liveOver_(CounterFamily(registry_, "korvane_hall_live_ended_total",
                              "Live games over, by how they ended.")),
      liveEnded_(liveOver_.Add({{"result", "ended"}})),
      liveRefused_(liveOver_.Add({{"result", "refused"}})),
      liveAbandoned_(liveOver_.Add({{"result", "abandoned"}})),
      liveTaken_(CounterFamily(registry_, "korvane_hall_live_taken_over_total",
                               "Live games this hall took over from another, or from itself "
                               "before a restart.")
                     .Add({})),
      liveGames_(
          OneGauge(registry_, "korvane_hall_live_games", "Live games in progress on this hall.")),
      liveWatchers_(OneGauge(registry_, "korvane_hall_live_watchers",
                             "Watchers of live games on this hall.")) {}

void Metrics::Request(const std::string& route, const std::string& method, int status) {
    requests_
        .Add({{"route", route}, {"method", MethodLabel(method)}, {"status", StatusClass(status)}})
        .Increment();
}

void Metrics::Replay(double seconds, bool accepted) {
    (accepted ? accepted_ : refused_).Increment();
    replaySeconds_.Observe(seconds);
}

void Metrics::Refused(const std::string& code) {
    refusals_.Add({{"code", CodeLabel(code)}}).Increment();
}

std::string Metrics::Render(size_t replaysWaiting, int64_t openTickets, int64_t scores,
                            const LiveCounts& live) {
    const std::lock_guard<std::mutex> hold(lock_);
    queueDepth_.Set(static_cast<double>(replaysWaiting));
    openTickets_.Set(static_cast<double>(openTickets));
    scores_.Set(static_cast<double>(scores));
    CatchUp(liveStarted_, live.started);
    CatchUp(liveEnded_, live.ended);
    CatchUp(liveRefused_, live.refused);
    CatchUp(liveAbandoned_, live.abandoned);
    CatchUp(liveTaken_, live.taken);
    liveGames_.Set(static_cast<double>(live.games));
    liveWatchers_.Set(static_cast<double>(live.watchers));
    return prometheus::TextSerializer().Serialize(registry_.Collect());
}

}  // namespace korvane::hall
