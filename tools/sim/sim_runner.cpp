#include "sim_runner.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace korvane::sim {

namespace {

bool ParseUnsigned(const std::string& text, uint64_t& out) {
    auto [ptr, err] = std::from_chars(text.data(), text.data() + text.size(), out);
    return err == std::errc() && ptr == text.data() + text.size() && !text.empty();
}

SimResult Failure(const std::string& message) {
    SimResult r;
    r.exitCode = 2;
    r.error = "korvane-sim: " + message;
    return r;
}

}  // namespace

namespace {

SimResult Run(const std::string& script, const SimOptions& options, FrameObserver observer) {
    std::vector<ScriptLine> lines;
    try {
        lines = ParseScript(script);
    } catch (const ScriptError& e) {
        return Failure("line " + std::to_string(e.lineNumber) + ": " + e.what());
    }
    SimResult result;
    ScriptedShell shell(std::move(lines), options, result.log);
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
    }
    return result;
}

}  // namespace

SimResult RunSimScript(const std::string& script, const SimOptions& options) {
    return Run(script, options, nullptr);
}

SimResult RunSimScriptObserved(const std::string& script, const SimOptions& options,
                               FrameObserver observer) {
    return Run(script, options, std::move(observer));
}

SimResult RunSimCommandLine(const std::vector<std::string>& args) {
    SimOptions options;
    std::string scriptPath;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--seed") {
            if (!value(v) || !ParseUnsigned(v, options.seed)) return Failure("bad --seed value");
        } else if (a == "--screen") {
            uint64_t w = 0, h = 0;
            const size_t xpos = value(v) ? v.find('x') : std::string::npos;
            if (xpos == std::string::npos || !ParseUnsigned(v.substr(0, xpos), w) ||
                !ParseUnsigned(v.substr(xpos + 1), h) || w > 100000 || h > 100000) {
                return Failure("bad --screen value, expected WxH");
            }
            options.screen = {static_cast<int32_t>(w), static_cast<int32_t>(h)};
        } else if (a == "--max-frames") {
            uint64_t n = 0;
            if (!value(v) || !ParseUnsigned(v, n) || n > (1ull << 62)) {
                return Failure("bad --max-frames value");
            }
            options.maxFrames = static_cast<int64_t>(n);
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return Failure("unknown option " + a);
        } else if (scriptPath.empty()) {
            scriptPath = a;
        } else {
            return Failure("only one script may be given");
        }
    }
    if (scriptPath.empty()) {
        return Failure("usage: korvane-sim [--seed N] [--screen WxH] [--max-frames N] SCRIPT");
    }
    std::string text;
    if (scriptPath == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else {
        std::ifstream in(scriptPath, std::ios::binary);
        if (!in) return Failure("cannot read " + scriptPath);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    return RunSimScript(text, options);
}

}  // namespace korvane::sim
