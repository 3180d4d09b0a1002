#pragma once
// A recording replayed headless with what each of its games came to: the check behind the
// hall of fame and `korvane-hall verify`. A game counts when its frame loop has ended.

#include <cstdint>
#include <vector>

#include "script_run.h"

namespace korvane::script {

struct GameResult {
    int32_t score = 0;
    int32_t winscore = 0;
    int16_t stars = 0;
    int64_t frames = 0;  // the game's yields
};

struct GamesRun {
    RunResult run;  // without a log: a long replay would keep megabytes nobody reads
    std::vector<GameResult> games;
    bool gameUnfinished = false;  // a game still ran when the run stopped
};

GamesRun RunGames(const std::string& script, const RunOptions& options);
// The same for lines already read.
GamesRun RunGames(std::vector<ScriptLine> lines, const RunOptions& options);

}  // namespace korvane::script
