#pragma once
// The hall's answers: the page, the API, the browser build, the metrics. Reads are answered
// on the HTTP loops from the table in memory; a submission goes to the replay pool and is
// answered from there.

#include <map>
#include <mutex>
#include <string>

#include "http/client_limits.h"
#include "hall_options.h"
#include "http/http_server.h"
#include "live/live_routes.h"
#include "http/metrics.h"
#include "replay_pool.h"
#include "http/route_table.h"
#include "store/score_table.h"
#include "store/store.h"

namespace korvane::hall {

class HallRoutes {
  public:
    // instance names this hall in its notices to the others.
    HallRoutes(const HallOptions& options, Store& store, ScoreTable& table, ReplayPool& pool,
               std::string instance);

    void Handle(const HttpRequest& request, Reply reply);
    LiveRoutes& live() { return live_; }
    // One log line and the counters, for every answer.
    void Answered(const HttpRequest& request, const HttpResponse& response);

  private:
    // The client: the connection's address, or behind a trusted proxy the address it
    // names (the last in X-Forwarded-For that is not a proxy of ours).
    std::string ClientOf(const HttpRequest& request) const;
    bool Trusted(const std::string& address) const;

    // Every route of the hall, live play's among them.
    RouteTable Table();
    HttpResponse Page(const HttpRequest& request);
    HttpResponse Scores(const HttpRequest& request);
    // A player's games and bests: the API's JSON, or its page.
    HttpResponse Player(const HttpRequest& request, const std::string& name, bool page);
    // part: what follows /api/scores/, ID/recording.
    HttpResponse Recording(const std::string& part);
    HttpResponse Ticket(const std::string& client);
    void Submit(const HttpRequest& request, const std::string& client, Reply reply);
    HttpResponse Metrics(const HttpRequest& request);
    HttpResponse PlayFile(const HttpRequest& request);
    // An answer made once per version of the table.
    HttpResponse Remembered(const std::string& key, const std::function<HttpResponse()>& make);

    const HallOptions& options_;
    Store& store_;
    ScoreTable& table_;
    ReplayPool& pool_;
    std::string instance_;
    korvane::hall::Metrics metrics_;
    LiveRoutes live_;
    RateLimit tickets_;
    RateLimit submissions_;
    std::mutex memoLock_;
    uint64_t memoVersion_ = 0;
    std::map<std::string, HttpResponse> memo_;
    std::mutex logLock_;
    RouteTable routes_;  // last: its handlers use the members above
};

}  // namespace korvane::hall
