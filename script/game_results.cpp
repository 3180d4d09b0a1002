#include "game_results.h"

#include <type_traits>

namespace korvane::script {

namespace {

// Runs the script (text or lines) with a watcher that counts its games.
template <typename Script>
GamesRun CountGames(Script script, const RunOptions& options) {
    GamesRun out;
    bool running = false;
    // Called before every yield and after every idle line: a game's end shows at the first
    // call after its loop, before anything of the next line can change the state.
    auto watch = [&](const Game& game, bool) {
        const GameState& s = game.state();
        if (s.gamerunning && !running) out.games.emplace_back();
        if (s.gamerunning) ++out.games.back().frames;
        if (running && !s.gamerunning) {
            GameResult& g = out.games.back();
            g.score = s.score;
            g.winscore = s.winscore;
            g.stars = s.numberofstars;
        }
        running = s.gamerunning;
    };
    if constexpr (std::is_same_v<std::decay_t<Script>, std::string>) {
        out.run = RunScript(script, options, watch);
    } else {
        out.run = RunParsed(std::move(script), options, watch);
    }
    out.gameUnfinished = running;
    return out;
}

}  // namespace

GamesRun RunGames(const std::string& script, const RunOptions& options) {
    return CountGames<const std::string&>(script, options);
}

GamesRun RunGames(std::vector<ScriptLine> lines, const RunOptions& options) {
    return CountGames(std::move(lines), options);
}

}  // namespace korvane::script
