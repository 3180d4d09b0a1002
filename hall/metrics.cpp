#include "metrics.h"

#include <cstdio>

namespace korvane::hall {

namespace {

const double kBounds[] = {0.01, 0.05, 0.1, 0.25, 0.5, 1, 2.5};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

}  // namespace

void Metrics::Request(const std::string& route, const std::string& method, int status) {
    const std::lock_guard<std::mutex> hold(lock_);
    ++requests_[{route, method, status}];
}

void Metrics::Replay(double seconds, bool accepted) {
    const std::lock_guard<std::mutex> hold(lock_);
    ++replays_[accepted ? 1 : 0];
    seconds_ += seconds;
    size_t b = 0;
    while (b < std::size(kBounds) && seconds > kBounds[b]) ++b;
    ++buckets_[b];
}

void Metrics::Refusal(const std::string& code) {
    const std::lock_guard<std::mutex> hold(lock_);
    ++refusals_[code];
}

std::string Metrics::Render(size_t replaysWaiting, int64_t openTickets, int64_t scores) const {
    const std::lock_guard<std::mutex> hold(lock_);
    std::string out =
        "# HELP korvane_hall_requests_total HTTP requests answered, by route and status.\n"
        "# TYPE korvane_hall_requests_total counter\n";
    for (const auto& [key, count] : requests_) {
        const auto& [route, method, status] = key;
        out += "korvane_hall_requests_total{route=\"" + route + "\",method=\"" + method +
               "\",status=\"" + std::to_string(status) + "\"} " + std::to_string(count) + "\n";
    }
    out +=
        "# HELP korvane_hall_refusals_total Requests refused, by the error code answered.\n"
        "# TYPE korvane_hall_refusals_total counter\n";
    for (const auto& [code, count] : refusals_) {
        out += "korvane_hall_refusals_total{code=\"" + code + "\"} " + std::to_string(count) + "\n";
    }
    out +=
        "# HELP korvane_hall_replays_total Submissions replayed, by outcome.\n"
        "# TYPE korvane_hall_replays_total counter\n"
        "korvane_hall_replays_total{result=\"accepted\"} " +
        std::to_string(replays_[1]) + "\nkorvane_hall_replays_total{result=\"refused\"} " +
        std::to_string(replays_[0]) +
        "\n# HELP korvane_hall_replay_seconds The time a replay took, its checks included.\n"
        "# TYPE korvane_hall_replay_seconds histogram\n";
    int64_t cumulative = 0;
    for (size_t b = 0; b < std::size(buckets_); ++b) {
        cumulative += buckets_[b];
        out += "korvane_hall_replay_seconds_bucket{le=\"" +
               (b < std::size(kBounds) ? Number(kBounds[b]) : std::string("+Inf")) + "\"} " +
               std::to_string(cumulative) + "\n";
    }
    out += "korvane_hall_replay_seconds_sum " + Number(seconds_) +
           "\nkorvane_hall_replay_seconds_count " + std::to_string(cumulative) +
           "\n# HELP korvane_hall_replay_queue_depth Submissions waiting for a replay worker.\n"
           "# TYPE korvane_hall_replay_queue_depth gauge\nkorvane_hall_replay_queue_depth " +
           std::to_string(replaysWaiting) +
           "\n# HELP korvane_hall_open_tickets Tickets neither used nor expired.\n"
           "# TYPE korvane_hall_open_tickets gauge\nkorvane_hall_open_tickets " +
           std::to_string(openTickets) +
           "\n# HELP korvane_hall_scores Scores in the table (hidden ones left out).\n"
           "# TYPE korvane_hall_scores gauge\nkorvane_hall_scores " +
           std::to_string(scores) + "\n";
    return out;
}

}  // namespace korvane::hall
