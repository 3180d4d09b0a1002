#include "script_mutations.h"

#include <regex>
#include <vector>

#include "random.h"
#include "script_run.h"

namespace korvane::fuzz {

namespace {
const char* const kSeeds[] = {
    "click cmdStart", "at 10 keyup 32", "at 12 mouseup 1 500 100", "at 20 print cubey",
    "at 20 set cubey 140", "at 30 dump", "stars 142", "default-stars", "harder",
    "at 40 pixel 0 0", "at 50 minimise", "restore", "at 60 click cmdStart", "# a comment",
    "at 70 set shieldsOn True", "at 80 set starcolor[3] 0xFFFF", "at 90 close",
    "set hinttext words and words", "at 5 keyup 81", "at 100 click cmdExit"};
}  // namespace

std::string MutatedScript(uint64_t seed) {
    Random r;
    r.Seed(seed);
    std::vector<std::string> lines;
    const int count = 1 + r.Rand(12);
    for (int i = 0; i < count; ++i) lines.push_back(kSeeds[r.Rand(20)]);
    const int mutations = r.Rand(6);
    for (int m = 0; m < mutations; ++m) {
        std::string& line = lines[static_cast<size_t>(r.Rand(static_cast<int>(lines.size())))];
        switch (r.Rand(6)) {
            case 0:  // cut
                if (!line.empty())
                    line.resize(static_cast<size_t>(r.Rand(static_cast<int>(line.size()))));
                break;
            case 1:  // a random byte anywhere
                line.insert(line.begin() + r.Rand(static_cast<int>(line.size()) + 1),
                            static_cast<char>(r.Rand(256)));
                break;
            case 2:  // a digit or a sign where it hurts
                line.insert(line.begin() + r.Rand(static_cast<int>(line.size()) + 1),
                            "-9x0 "[r.Rand(5)]);
                break;
            case 3:  // a huge number
                line += " 99999999999999999999";
                break;
            case 4:  // lines out of order
                std::swap(line, lines[static_cast<size_t>(r.Rand(static_cast<int>(lines.size())))]);
                break;
            default:  // doubled words
                line += " " + line;
                break;
        }
    }
    std::string script;
    for (const std::string& l : lines) script += l + (r.Rand(10) == 0 ? "\r\n" : "\n");
    return script;
}

std::string CheckScriptOutcome(const std::string& script, int64_t maxFrames) {
    script::RunOptions options;
    options.maxFrames = maxFrames;
    const script::RunResult result = script::RunScript(script, options);
    if (result.exitCode == 0) {
        if (!result.error.empty()) return "a message on a clean run";
        return {};
    }
    if (result.exitCode != 2) return "exit code " + std::to_string(result.exitCode);
    if (!result.log.empty()) return "a rejected script printed part of its run";
    static const std::regex message(R"(line [1-9][0-9]*: [^\n]+)");
    if (!std::regex_match(result.error, message)) return "message: " + result.error;
    return {};
}

}  // namespace korvane::fuzz
