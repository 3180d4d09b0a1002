#include "live_lines.h"

#include <string_view>

#include "command_table.h"
#include "gate/submission.h"

namespace korvane::hall {

std::optional<LiveLines> ReadLiveLines(const std::string& text, uint64_t seed, Refusal& refusal) {
    LiveLines out;
    size_t at = 0;
    int number = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        int commands = 1;
        for (const char c : line) commands += c == ';';
        if (line.size() > kMaxLineBytes || commands > kMaxCommandsPerLine) {
            refusal = {"malformed",
                       "line " + std::to_string(number) + " is longer than a recording's"};
            return std::nullopt;
        }
    }
    try {
        out.lines = script::ParseScript(text);
    } catch (const script::ScriptError& e) {
        refusal = {"malformed", "line " + std::to_string(e.lineNumber) + ": " + e.what()};
        return std::nullopt;
    }
    for (const script::ScriptLine& line : out.lines) {
        const std::string where = "line " + std::to_string(line.lineNumber) + ": ";
        if (!script::HallRecordingMayHold(line.command)) {
            refusal = {"malformed", where + "'" + line.command + "' is not part of a recording"};
            return std::nullopt;
        }
        if (line.command == "seed" && *script::ParseSeed(line.args[0]) != seed) {
            refusal = {"seed-mismatch", where + "the game's seed is not the live game's"};
            return std::nullopt;
        }
        if (line.command == "expect" && line.at) {
            refusal = {"malformed", where + "an expect line checks the game after its end"};
            return std::nullopt;
        }
    }
    out.marks = script::ReadBatchMarks(text, out.lines);
    // Comments other than the marks are the client's alone: kept, a game could fill the
    // database with them.
    for (size_t from = 0; from < text.size();) {
        const size_t end = std::min(text.find('\n', from), text.size());
        std::string_view line = std::string_view(text).substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || (line[first] == '#' && !script::IsBatchMark(line)))
            continue;
        out.text.append(line).push_back('\n');
    }
    return out;
}

}  // namespace korvane::hall
