#include "script.h"

#include <charconv>
#include <sstream>

#include "buttons.h"
#include "game_state.h"
#include "state_names.h"

namespace korvane::sim {

namespace {

std::optional<int64_t> ParseInt(const std::string& text) {
    int64_t value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, err] = std::from_chars(begin, end, value);
    if (err != std::errc() || ptr != end) return std::nullopt;
    return value;
}

int64_t RequireInt(const ScriptLine& line, size_t index, const char* what, int64_t lo, int64_t hi) {
    if (line.args.size() <= index) {
        throw ScriptError(line.lineNumber, std::string("missing ") + what);
    }
    std::optional<int64_t> v = ParseInt(line.args[index]);
    if (!v || *v < lo || *v > hi) {
        throw ScriptError(line.lineNumber,
                          std::string("malformed ") + what + " '" + line.args[index] + "'");
    }
    return *v;
}

void RequireArgs(const ScriptLine& line, size_t count) {
    if (line.args.size() < count) {
        throw ScriptError(line.lineNumber, "missing argument to " + line.command);
    }
    if (line.args.size() > count) {
        throw ScriptError(line.lineNumber, "too many arguments to " + line.command);
    }
}

void CheckLine(const ScriptLine& line, const std::vector<StateVar>& names) {
    const std::string& c = line.command;
    if (c == "click") {
        RequireArgs(line, 1);
        if (!IsButtonName(line.args[0])) {
            throw ScriptError(line.lineNumber, "unknown button '" + line.args[0] + "'");
        }
    } else if (c == "keyup") {
        RequireArgs(line, 1);
        RequireInt(line, 0, "key code", 0, 65535);
    } else if (c == "mouseup") {
        RequireArgs(line, 3);
        const int64_t button = RequireInt(line, 0, "mouse button", 1, 4);
        if (button == 3) throw ScriptError(line.lineNumber, "malformed mouse button '3'");
        RequireInt(line, 1, "x", -32768, 32767);
        RequireInt(line, 2, "y", -32768, 32767);
    } else if (c == "minimise" || c == "restore" || c == "close" || c == "dump" ||
               c == "default-stars" || c == "harder") {
        RequireArgs(line, 0);
    } else if (c == "set") {
        if (line.args.size() < 2) throw ScriptError(line.lineNumber, "missing argument to set");
        const StateVar* var = FindStateVar(names, line.args[0]);
        if (!var) throw ScriptError(line.lineNumber, "unknown name '" + line.args[0] + "'");
        if (var->kind != StateVar::Kind::Text) {
            RequireArgs(line, 2);
            GameState probe;
            std::vector<StateVar> probeNames = NameTable(probe);
            if (!SetStateVar(*FindStateVar(probeNames, line.args[0]), line.args[1])) {
                throw ScriptError(line.lineNumber, "malformed value '" + line.args[1] + "'");
            }
        }
    } else if (c == "print") {
        RequireArgs(line, 1);
        if (!FindStateVar(names, line.args[0])) {
            throw ScriptError(line.lineNumber, "unknown name '" + line.args[0] + "'");
        }
    } else if (c == "pixel") {
        RequireArgs(line, 2);
        RequireInt(line, 0, "x", -32768, 32767);
        RequireInt(line, 1, "y", -32768, 32767);
    } else if (c == "screen") {
        RequireArgs(line, 1);
    } else if (c == "stars") {
        RequireArgs(line, 1);
        RequireInt(line, 0, "star count", 0, 500);
    } else {
        throw ScriptError(line.lineNumber, "unknown command '" + c + "'");
    }
}

}  // namespace

bool IsButtonName(const std::string& name) {
    return FindButton(name) != nullptr;
}

std::vector<ScriptLine> ParseScript(const std::string& text) {
    GameState names;
    const std::vector<StateVar> table = NameTable(names);
    std::vector<ScriptLine> lines;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    int64_t lastAt = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::istringstream words(raw);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;

        ScriptLine line;
        line.lineNumber = number;
        if (word == "at") {
            std::string frame;
            if (!(words >> frame)) throw ScriptError(number, "missing frame number after 'at'");
            std::optional<int64_t> f = ParseInt(frame);
            if (!f || *f < 1) throw ScriptError(number, "malformed frame number '" + frame + "'");
            if (*f < lastAt) {
                throw ScriptError(
                    number, "frame " + frame + " comes before frame " + std::to_string(lastAt));
            }
            lastAt = *f;
            line.at = *f;
            if (!(words >> word)) throw ScriptError(number, "missing command after 'at'");
        }
        line.command = word;
        std::getline(words, line.rest);
        const size_t start = line.rest.find_first_not_of(" \t");
        line.rest = start == std::string::npos ? "" : line.rest.substr(start);
        std::istringstream args(line.rest);
        while (args >> word) line.args.push_back(word);
        if (line.command == "set" && !line.args.empty()) {
            // A text value is everything after the name.
            const size_t after = line.rest.find(line.args[0]) + line.args[0].size();
            const size_t valueStart = line.rest.find_first_not_of(" \t", after);
            line.rest = valueStart == std::string::npos ? "" : line.rest.substr(valueStart);
        }
        CheckLine(line, table);
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace korvane::sim
