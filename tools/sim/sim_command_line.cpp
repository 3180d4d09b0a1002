#include "sim_command_line.h"

#include "korvane_version.h"
#include "script.h"

namespace korvane::sim {

using script::ParseScreenSize;
using script::ParseSeed;
using script::Quoted;
using script::RunOptions;
using script::RunResult;

namespace {

const char kUsage[] =
    "usage: korvane-sim [--seed N] [--screen WxH] [--max-frames N] [--record FILE] SCRIPT";

const char kHelp[] =
    "Usage: korvane-sim [--seed N] [--screen WxH] [--max-frames N] [--record FILE] SCRIPT\n"
    "       korvane-sim --help | --version\n"
    "\n"
    "Runs the game against SCRIPT (- for standard input) without a window or sound and\n"
    "prints, frame by frame, what a player would see and hear. A recording made with\n"
    "'korvane --record FILE' replays with 'korvane-sim FILE'.\n"
    "\n"
    "  --seed N        every game start seeds the random generator with N (default 1)\n"
    "  --screen WxH    the screen size the game sees (default 1024x768)\n"
    "  --max-frames N  the most frames the whole run may take (default 100000)\n"
    "  --record FILE   write the run to FILE as 'korvane --record' writes a game\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Exit status: 0 the run ended, 2 a bad option or script line, 3 an expect line\n"
    "found the game other than recorded (a desync), or never ran because the frame\n"
    "limit stopped the run first.\n";

RunResult Failure(const std::string& message) {
    RunResult r;
    r.exitCode = 2;
    r.error = "korvane-sim: " + message;
    return r;
}

}  // namespace

RunResult RunSimCommandLine(const std::vector<std::string>& args) {
    RunOptions options;
    std::string scriptPath;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "--version") {
            RunResult answer;
            answer.log = a == "--help" ? kHelp : "korvane-sim " KORVANE_VERSION "\n";
            return answer;
        } else if (a == "--seed") {
            const std::optional<uint64_t> seed = value(v) ? ParseSeed(v) : std::nullopt;
            if (!seed) return Failure("bad --seed value");
            options.seed = *seed;
        } else if (a == "--screen") {
            const std::optional<ScreenSize> size = value(v) ? ParseScreenSize(v) : std::nullopt;
            if (!size) return Failure("bad --screen value, expected WxH, each at most 100000");
            options.screen = *size;
        } else if (a == "--max-frames") {
            const std::optional<uint64_t> n = value(v) ? ParseSeed(v) : std::nullopt;
            if (!n || *n > (1ull << 62)) return Failure("bad --max-frames value");
            options.maxFrames = static_cast<int64_t>(*n);
        } else if (a == "--record") {
            if (!value(options.recordPath) || options.recordPath.empty()) {
                return Failure("--record needs a file name");
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return Failure("unknown option " + Quoted(a) + "\n" + kUsage);
        } else if (scriptPath.empty()) {
            scriptPath = a;
        } else {
            return Failure("only one script may be given");
        }
    }
    if (scriptPath.empty()) return Failure(kUsage);
    std::string text;
    std::string why;
    if (!script::ReadScriptFile(scriptPath, text, why))
        return Failure("cannot read " + Quoted(scriptPath) + ": " + why);
    RunResult result = script::RunScript(text, options);
    if (!result.error.empty()) result.error = "korvane-sim: " + result.error;
    return result;
}

}  // namespace korvane::sim
