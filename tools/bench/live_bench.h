#pragma once
// Live play measured over HTTP on a korvane-hall of the benchmark's: how soon 1,000 watchers
// of one game see each batch, and how many games played live at once all stay live.

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace korvane::bench {

// The hall's limits that these measures go past (every client here is one address).
std::vector<std::pair<std::string, std::string>> LiveHallOptions();

// One game played live at its pace and watched by 1,000 streams: the delay from each
// batch's send to each watcher, p50 and p99.
void MeasureWatchers(int port, pid_t hall);

// 25, 50, 100, 200, then 400 games played live at once, each by a client of its own, until a
// game is refused: how many ended live, and what the hall's answers took.
void MeasureLiveGames(int port, pid_t hall);

}  // namespace korvane::bench
