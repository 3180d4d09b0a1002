#pragma once
// What the hall has been doing, counted for Prometheus: requests by route and status,
// replays and the time they took, refusals by code. The gauges (the replays waiting, the
// open tickets) are read when the page is asked for.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace korvane::hall {

class Metrics {
  public:
    void Request(const std::string& route, const std::string& method, int status);
    void Replay(double seconds, bool accepted);
    void Refusal(const std::string& code);

    // The text format, version 0.0.4.
    std::string Render(size_t replaysWaiting, int64_t openTickets, int64_t scores) const;

  private:
    mutable std::mutex lock_;
    std::map<std::tuple<std::string, std::string, int>, int64_t> requests_;
    std::map<std::string, int64_t> refusals_;
    int64_t replays_[2] = {0, 0};  // refused, accepted
    // The replays' seconds in buckets of at most 0.01, 0.05, 0.1, 0.25, 0.5, 1, 2.5 s, +Inf.
    int64_t buckets_[8] = {};
    double seconds_ = 0;
};

}  // namespace korvane::hall
