#include "game_results.h"

namespace korvane::script {

GamesRun RunGames(const std::string& script, const RunOptions& options) {
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
    out.run = RunScript(script, options, watch);
    out.gameUnfinished = running;
    return out;
}

}  // namespace korvane::script
