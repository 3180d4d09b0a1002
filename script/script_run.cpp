#include "script_run.h"

namespace korvane::script {

namespace {

RunResult Run(const std::string& script, const RunOptions& options, FrameObserver observer) {
    std::vector<ScriptLine> lines;
    try {
        lines = ParseScript(script);
    } catch (const ScriptError& e) {
        RunResult refused;
        refused.exitCode = 2;
        refused.error = "line " + std::to_string(e.lineNumber) + ": " + e.what();
        return refused;
    }
    RunResult result;
    ScriptedShell shell(std::move(lines), options, result.log, result.warnings);
    Game game(shell);
    shell.Attach(game);
    if (observer) {
        shell.Observe(std::move(observer));
        shell.DiscardLog();
    }
    try {
        game.Main();
        shell.RunIdleLines();
        result.log += std::to_string(shell.frame()) + " end\n";
    } catch (const ProgramEnded&) {
        result.log += std::to_string(shell.frame()) + " exit\n";
    } catch (const FrameLimitReached&) {
        result.log += std::to_string(shell.frame()) + " end\n";
    } catch (const Desynced&) {
        result.exitCode = 3;
    }
    return result;
}

}  // namespace

RunResult RunScript(const std::string& script, const RunOptions& options) {
    return Run(script, options, nullptr);
}

RunResult RunScriptObserved(const std::string& script, const RunOptions& options,
                            FrameObserver observer) {
    return Run(script, options, std::move(observer));
}

}  // namespace korvane::script
