#pragma once
// Clients playing games live for a korvane-hall, each at its game's own pace, as the page and
// the desktop program do: every batch interval a game sends the lines of the frames it has
// played by then (the emulated time of its frames against the real time since it began),
// then the mark `# frame F`; the last batch holds the nine expect lines. Like them, a game
// does not wait for one batch's answer before it sends the next: a batch goes on whichever
// of a few kept connections is free, in order. Every game is played by one thread, on
// non-blocking sockets: the benchmark's own cost stays far below the hall's.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "hall_games.h"
#include "http_load.h"

namespace korvane::bench {

using SteadyTime = std::chrono::steady_clock::time_point;

struct LivePlayed {
    int status = 0;       // 204 when every batch was taken and the game ended in the hall
    std::string error;    // the hall's error code otherwise (its first refusal)
    std::string message;  // and its message
    int64_t batches = 0;
    std::vector<double> answerSeconds;  // each batch's round trip
    std::vector<SteadyTime> taken;      // when each batch was answered 204
};

// A live game opened on a fresh ticket: its id, the ticket (which its lines carry) and its
// seed, or an empty id and why not.
struct OpenedLive {
    std::string id;
    std::string ticket;
    uint64_t seed = 0;
    std::string why;
};

// A game to play on an opened live game, from `delay` seconds after the play begins.
struct LiveToPlay {
    OpenedLive opened;
    PacedGame game;
    double delay = 0;
};

// Plays every game at once on the loopback port; `sent` (if given) is told each batch's game
// and frame mark as the batch goes. A batch that gets no answer (the hall died) is sent again
// for up to retrySeconds, as the page and the desktop do.
std::vector<LivePlayed> PlayLive(
    int port, const std::vector<LiveToPlay>& games, double batchSeconds,
    const std::function<void(size_t game, int64_t frame, SteadyTime)>& sent = nullptr,
    double retrySeconds = 0);
OpenedLive OpenLive(HttpConnection& connection);

// The error code of a JSON answer, or its status when it has none.
std::string ErrorCode(const HttpAnswer& answer);

}  // namespace korvane::bench
