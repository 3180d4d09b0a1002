#include "live_bench.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <thread>

#include "hall_games.h"
#include "http_load.h"
#include "live_play.h"
#include "proc_usage.h"
#include "stream_watchers.h"

namespace korvane::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWatchers = 1000;
constexpr int kStars = 150;            // the default: 200 frames a second
constexpr int64_t kGameFrames = 4000;  // 20 s of play, two pace windows
// The watchers' game sends a batch four times a second, twice as often as it must; the
// games played at once send theirs twice a second, as the page and the desktop do.
constexpr double kBatchSeconds = 0.25;
constexpr double kCrowdBatchSeconds = 0.5;
constexpr int kAtOnce[] = {64, 200, 500, 1000, 1500, 2000};
// A batch's answer within this, at the 99th percentile, for a number of games to count.
constexpr double kAnswerTarget = 0.25;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void WaitFor(const std::function<bool()>& done, double seconds) {
    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
    while (!done() && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// `count` live games opened and their bot's games made, on every core.
std::vector<LiveToPlay> OpenGames(int port, int count) {
    std::vector<LiveToPlay> games(static_cast<size_t>(count));
    std::atomic<size_t> next{0};
    std::vector<std::thread> makers;
    for (unsigned t = 0; t < std::max(2u, std::thread::hardware_concurrency()); ++t) {
        makers.emplace_back([&] {
            HttpConnection connection(port);
            for (size_t c; (c = next++) < games.size();) {
                games[c].opened = OpenLive(connection);
                if (!games[c].opened.id.empty())
                    games[c].game = PacedHallGame(games[c].opened.seed, kGameFrames, kStars);
            }
        });
    }
    for (std::thread& t : makers) t.join();
    return games;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> LiveHallOptions() {
    const std::string many = "1000000";
    return {{"--live-games", "4000"},
            {"--live-games-per-address", "4000"},
            {"--live-starts-per-hour", many},
            {"--watchers-per-game", "2000"},
            {"--watchers", "5000"},
            {"--watchers-per-address", "5000"},
            {"--max-connections", "8000"},
            {"--max-connections-per-address", "8000"}};
}

void MeasureWatchers(int port, pid_t hall) {
    HttpConnection player(port);
    const OpenedLive opened = OpenLive(player);
    if (opened.id.empty()) {
        std::printf("  no live game to watch: %s\n", opened.why.c_str());
        return;
    }
    const PacedGame game = PacedHallGame(opened.seed, kGameFrames, kStars);
    const double length = game.times.back() - game.times.front();
    const Clock::time_point connecting = Clock::now();
    StreamWatchers watchers(port, "/api/live/" + opened.id + "/stream", kWatchers, length + 60);
    WaitFor([&] { return watchers.Answered() + watchers.Failed() == kWatchers; }, 30);
    const double connected = Seconds(Clock::now() - connecting);
    std::map<int64_t, Clock::time_point> sent;  // by the batch's frame mark
    const ProcessSnapshot before = Snapshot(hall);
    const LivePlayed played =
        PlayLive(port, {{opened, game}}, kBatchSeconds, [&](size_t, int64_t frame, SteadyTime when) { sent.emplace(frame, when); }).front();
    watchers.Join();
    const double cpu = Between(before, Snapshot(hall)).cpuSeconds;
    LatencyReport delays;
    int ended = 0;
    for (const StreamWatchers::Watcher& w : watchers.watchers()) {
        ended += w.ended;
        for (const auto& [frame, when] : w.arrivals) {
            const auto it = sent.find(frame);
            if (it != sent.end()) delays.seconds.push_back(Seconds(when - it->second));
        }
    }
    const size_t due = sent.size() * static_cast<size_t>(watchers.Answered());
    std::printf(
        "  %d watchers of one live game (%.0f s at %d stars, a batch every %.2f s): %d "
        "streams open in %.1f s, %d failed\n",
        kWatchers, length, kStars, kBatchSeconds, watchers.Answered(), connected,
        watchers.Failed());
    std::printf("  %-44s p50 %6.1f ms  p99 %6.1f ms  max %6.1f ms  (%zu of %zu delivered)\n",
                "a batch's send to each watcher", delays.Percentile(0.5) * 1000,
                delays.Percentile(0.99) * 1000, delays.Percentile(1) * 1000, delays.seconds.size(),
                due);
    std::printf(
        "  %-44s the game %s after %lld batches (%s), %d streams saw its end; the hall's CPU "
        "%.1f s\n",
        "", played.status == 204 ? "ended" : "was refused", static_cast<long long>(played.batches),
        played.status == 204 ? "204" : (played.error + ": " + played.message).c_str(), ended, cpu);
}

void MeasureLiveGames(int port, pid_t hall) {
    int most = 0, held = 0;
    double perGame = 0;
    for (const int games : kAtOnce) {
        std::map<std::string, int> outcomes;  // "ended", or the hall's refusal
        std::string first;                    // the first refusal's message
        LatencyReport answers;
        double length = 0;
        const long long idle = ResidentBytes(hall);
        // The hall's memory and threads at their most while the games play, read twice a
        // second.
        std::atomic<bool> playing{true};
        long long peak = idle;
        int threads = 0;
        std::thread sampler([&] {
            while (playing) {
                peak = std::max(peak, ResidentBytes(hall));
                threads = std::max(threads, Threads(hall));
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
            }
        });
        // Every game is opened and made first (the bot's play is the benchmark's own CPU),
        // then all are played at once: the hall's answers are measured, not the bot. Players
        // begin at moments of their own: their batches are spread over the batch interval.
        std::vector<LiveToPlay> crowd = OpenGames(port, games);
        for (size_t c = 0; c < crowd.size(); ++c) crowd[c].delay = kCrowdBatchSeconds * c / games;
        const ProcessSnapshot before = Snapshot(hall);
        for (const LivePlayed& played : PlayLive(port, crowd, kCrowdBatchSeconds)) {
            ++outcomes[played.status == 204 ? "ended" : played.error];
            if (played.status != 204 && first.empty()) first = played.message;
            answers.seconds.insert(answers.seconds.end(), played.answerSeconds.begin(),
                                   played.answerSeconds.end());
        }
        for (const LiveToPlay& c : crowd) {
            if (!c.game.times.empty())
                length = std::max(length, c.game.times.back() - c.game.times.front());
        }
        playing = false;
        sampler.join();
        const double cpu = Between(before, Snapshot(hall)).cpuSeconds;
        std::string how;
        for (const auto& [what, count] : outcomes) how += ", " + std::to_string(count) + " " + what;
        const double mb = (peak - idle) / games / 1e6;
        std::printf(
            "  %4d live games at once (%.0f s each): %s; a batch's answer p50 %.1f ms, "
            "p99 %.1f ms; the hall's CPU %.1f s (%.2f%% of a core per game); RSS %.2f MB "
            "per game; %d threads\n",
            games, length, how.c_str() + 2, answers.Percentile(0.5) * 1000,
            answers.Percentile(0.99) * 1000, cpu, length > 0 ? 100 * cpu / (games * length) : 0.0,
            mb, threads);
        if (!first.empty()) std::printf("  %-44s the first refusal: %s\n", "", first.c_str());
        std::fflush(stdout);
        if (outcomes["ended"] != games) break;
        held = games;
        if (answers.Percentile(0.99) < kAnswerTarget) {
            most = games;
            perGame = mb;
        }
    }
    std::printf("  the most live games at once, every batch answered within %.0f ms at p99: %d "
                "(RSS %.2f MB per game); every game ended live: %d\n",
                kAnswerTarget * 1000, most, perGame, held);
}

void MeasureTakeover(const std::function<void()>& kill, const std::function<bool()>& start,
                     int port) {
    constexpr int kGames = 50;
    constexpr double kKillAfter = 8;     // seconds into the games
    constexpr double kRetrySeconds = 15;  // as the page and the desktop send a batch again
    const std::vector<LiveToPlay> crowd = OpenGames(port, kGames);
    std::vector<LivePlayed> played;
    const Clock::time_point began = Clock::now();
    std::thread clients(
        [&] { played = PlayLive(port, crowd, kCrowdBatchSeconds, nullptr, kRetrySeconds); });
    std::this_thread::sleep_until(began + std::chrono::milliseconds(int(kKillAfter * 1000)));
    kill();
    const Clock::time_point killed = Clock::now();
    const bool restarted = start();
    clients.join();
    LatencyReport taken;
    int ended = 0;
    for (const LivePlayed& p : played) {
        ended += p.status == 204;
        const auto next = std::find_if(p.taken.begin(), p.taken.end(),
                                       [&](SteadyTime t) { return t > killed; });
        if (next != p.taken.end()) taken.seconds.push_back(Seconds(*next - killed));
    }
    std::printf(
        "  the hall killed under %d live games %.0f s in and started again%s: %d games ended "
        "live; each game's next batch taken after p50 %.2f s, p99 %.2f s (%zu of %d)\n",
        kGames, kKillAfter, restarted ? "" : " (it did not start)", ended,
        taken.Percentile(0.5), taken.Percentile(0.99), taken.seconds.size(), kGames);
    std::fflush(stdout);
}

}  // namespace korvane::bench
