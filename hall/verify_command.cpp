#include "verify_command.h"

#include <cstdio>

#include "game_results.h"
#include "script.h"
#include "submission.h"

namespace korvane::hall {

int VerifyFile(const std::string& path) {
    std::string text;
    std::string why;
    if (!script::ReadScriptFile(path, text, why)) {
        std::fprintf(stderr, "korvane-hall: cannot read %s: %s\n", script::Quoted(path).c_str(),
                     why.c_str());
        return 2;
    }
    // The hall's frame limit, without its CPU limit: a moderator may wait.
    script::RunOptions options;
    options.maxFrames = kMaxReplayFrames;
    const script::GamesRun run = script::RunGames(text, options);
    for (size_t i = 0; i < run.games.size(); ++i) {
        const script::GameResult& g = run.games[i];
        std::printf("game %zu: score %d, win score %d, stars %d, frames %lld\n", i + 1, g.score,
                    g.winscore, g.stars, static_cast<long long>(g.frames));
    }
    if (run.run.exitCode == 3) {
        std::fprintf(stderr, "korvane-hall: %s: %s\n", script::Quoted(path).c_str(),
                     (run.run.desync.empty() ? run.run.error : run.run.desync).c_str());
        return 3;
    }
    if (run.run.exitCode != 0) {
        std::fprintf(stderr, "korvane-hall: %s: %s\n", script::Quoted(path).c_str(),
                     run.run.error.c_str());
        return run.run.exitCode;
    }
    std::printf("verified: %zu game%s%s\n", run.games.size(), run.games.size() == 1 ? "" : "s",
                run.gameUnfinished ? " (and one cut off by the frame limit, not counted)" : "");
    return 0;
}

}  // namespace korvane::hall
