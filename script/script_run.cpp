#include "script_run.h"

namespace korvane::script {

namespace {

// A check that a limit kept the run from reaching never held: the run fails.
void FailOnUnreadExpect(const ScriptedShell& shell, const std::string& limit, RunResult& result) {
    if (const std::optional<int> line = shell.FirstUnreadCheck()) {
        result.exitCode = 3;
        result.error = "line " + std::to_string(*line) +
                       ": expect never reached: the run stopped at " + limit + " in frame " +
                       std::to_string(shell.frame());
    }
}

}  // namespace

RunResult RunScript(const std::string& script, const RunOptions& options, FrameObserver observer) {
    std::vector<ScriptLine> lines;
    try {
        lines = ParseScript(script);
    } catch (const ScriptError& e) {
        RunResult refused;
        refused.exitCode = 2;
        refused.error = "line " + std::to_string(e.lineNumber) + ": " + e.what();
        return refused;
    }
    return RunParsed(std::move(lines), options, std::move(observer));
}

RunResult RunParsed(std::vector<ScriptLine> lines, const RunOptions& options,
                    FrameObserver observer) {
    RunResult result;
    ScriptedShell shell(std::move(lines), options, result.log, result.warnings);
    Game game(shell);
    shell.AttachGame(game);
    if (observer) {
        shell.Observe(std::move(observer));
        shell.DiscardLog();
    }
    game.Main();
    shell.RunIdleLines();
    result.stop = shell.stop();
    switch (result.stop) {
        case RunStop::Ended:
            result.log += std::to_string(shell.frame()) + " end\n";
            break;
        case RunStop::Exited:
            result.log += std::to_string(shell.frame()) + " exit\n";
            break;
        case RunStop::FrameLimit:
            result.log += std::to_string(shell.frame()) + " end\n";
            FailOnUnreadExpect(shell,
                               "its frame limit (" + std::to_string(options.maxFrames) + " frames)",
                               result);
            break;
        case RunStop::CpuLimit:
            FailOnUnreadExpect(shell, "its CPU time limit", result);
            break;
        case RunStop::Desync:
            result.exitCode = 3;
            result.desync = shell.desync();
            break;
    }
    return result;
}

}  // namespace korvane::script
