#pragma once
// The games the hall's benchmark submits: one-minute games (12,000 frames at 150 stars) as
// `korvane --record` writes them, each from its ticket's seed, played by a simple bot that
// fires the phasers every 100 frames and raises the shields just before each globe.

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::bench {

struct HallGame {
    std::string recording;
    int64_t frames = 0;  // the frame the game ended in
    int score = 0;
};

// One game from seed; it lasts `frames` frames unless the cube wins sooner.
HallGame OneMinuteGame(uint64_t seed, int64_t frames = 12000);

// A game for each seed, made on every core.
std::vector<HallGame> OneMinuteGames(const std::vector<uint64_t>& seeds);

// A game to play live: its recording, and the emulated seconds at each of its frames' yields,
// which say when a client playing at the game's own pace sends each line.
struct PacedGame {
    std::string recording;
    std::vector<double> times;
};

// The same bot's game from seed at `stars` stars, `frames` frames long unless the cube
// wins sooner, made with one or two headless runs (a few milliseconds).
PacedGame PacedHallGame(uint64_t seed, int64_t frames, int stars);

// The CPU seconds of replaying a recording once, as a hall does.
double ReplayCpuSeconds(const std::string& recording);

}  // namespace korvane::bench
