#pragma once
// Live play measured over HTTP on a korvane-hall of the benchmark's: how soon 1,000 watchers
// of one game see each batch, and how many games played live at once all stay live.

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::bench {

// The hall's limits that these measures go past (every client here is one address).
std::vector<std::pair<std::string, std::string>> LiveHallOptions();

// One game played live at its pace and watched by 1,000 streams: the delay from each
// batch's send to each watcher, p50 and p99.
void MeasureWatchers(int port, pid_t hall);

// 50, 200, 500, 1,000, 1,500, then 2,000 games played live at once, each by a client of its
// own, until a game is refused or the answers' p99 reaches 250 ms: how many ended live, what
// the hall's answers took, and its memory per game.
void MeasureLiveGames(int port, pid_t hall);

// 50 games played live, the hall killed (kill) under them mid-game and started again on its
// port (start): the time from the kill until each game's next batch is taken, p50 and p99.
void MeasureTakeover(const std::function<void()>& kill, const std::function<bool()>& start,
                     int port);

}  // namespace korvane::bench
