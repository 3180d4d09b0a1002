#include "script.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string_view>

#include "command_table.h"
#include "game_state.h"
#include "state_names.h"

namespace korvane::script {

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const unsigned char ch : text) {
        if (ch >= 0x20 && ch < 0x7F && ch != '\\') {
            out += static_cast<char>(ch);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", ch);
            out += escaped;
        }
    }
    return out + "'";
}

std::optional<int64_t> ParseInt(const std::string& text) {
    int64_t value = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, err] = std::from_chars(begin, end, value);
    if (err != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::optional<uint64_t> ParseSeed(const std::string& text) {
    uint64_t value = 0;
    auto [ptr, err] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || err != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<ScreenSize> ParseScreenSize(const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const std::optional<uint64_t> w = ParseSeed(text.substr(0, x));
    const std::optional<uint64_t> h = ParseSeed(text.substr(x + 1));
    if (!w || !h || *w > 100000 || *h > 100000) return std::nullopt;
    return ScreenSize{static_cast<int32_t>(*w), static_cast<int32_t>(*h)};
}

std::optional<std::string> Desync(GameState& state, const ScriptLine& expectLine) {
    const StateVar var = *FindStateVar(state, expectLine.args[0]);
    const std::string actual = FormatStateVar(var);
    const bool text = var.kind == StateVar::Kind::Text;
    const std::string& written = text ? expectLine.rest : expectLine.args[1];
    // Compared as the game prints them, so that 16, 0x10 and 0x0010 all match 16.
    const std::string expected = text ? written : *NormaliseValue(var.kind, written);
    if (expected == actual) return std::nullopt;
    return expectLine.args[0] + " expected " + written + " got " + actual;
}

LoggedCheck ReadLoggedCheck(const ScriptLine& line) {
    if (line.args.size() < 2) throw ScriptError(line.lineNumber, "missing argument to logged");
    LoggedCheck check;
    const std::string& frames = line.args[0];
    const size_t dots = frames.find("..");
    const std::optional<int64_t> first = ParseInt(frames.substr(0, dots));
    const std::optional<int64_t> last =
        dots == std::string::npos ? first : ParseInt(frames.substr(dots + 2));
    if (!first || !last || *first < 0 || *last < *first) {
        throw ScriptError(line.lineNumber,
                          "malformed frames " + Quoted(frames) + ", expected F or FIRST..LAST");
    }
    check.first = *first;
    check.last = *last;
    size_t eventWord = 1;
    if (const std::optional<int64_t> count = ParseInt(line.args[1])) {
        if (*count < 0)
            throw ScriptError(line.lineNumber, "malformed count " + Quoted(line.args[1]));
        check.count = *count;
        eventWord = 2;
    }
    if (line.args.size() <= eventWord) {
        throw ScriptError(line.lineNumber, "missing event to logged");
    }
    // The event as written, from its first word to the end of the line.
    check.event = line.rest.substr(line.rest.find(line.args[eventWord], frames.size()));
    check.event.erase(check.event.find_last_not_of(" \t") + 1);
    return check;
}

namespace {

void CheckLine(const ScriptLine& line) {
    const Command* command = FindCommand(line.command);
    if (!command) throw ScriptError(line.lineNumber, "unknown command " + Quoted(line.command));
    command->check(line);
}

// The frames of an `at` line: F, or F..L for every frame from F to L, or F..L/S for every
// S-th frame from F on.
struct Frames {
    int64_t first = 0, last = 0, step = 1;
};

Frames ParseFrames(int number, const std::string& word) {
    const size_t dots = word.find("..");
    if (dots == std::string::npos) {
        const std::optional<int64_t> f = ParseInt(word);
        if (!f || *f < 1) throw ScriptError(number, "malformed frame number " + Quoted(word));
        return {*f, *f, 1};
    }
    const size_t slash = word.find('/', dots);
    const std::optional<int64_t> first = ParseInt(word.substr(0, dots));
    const std::optional<int64_t> last = ParseInt(word.substr(dots + 2, slash - dots - 2));
    const std::optional<int64_t> step =
        slash == std::string::npos ? std::optional<int64_t>(1) : ParseInt(word.substr(slash + 1));
    if (!first || !last || !step || *first < 1 || *last < *first || *step < 1) {
        throw ScriptError(number, "malformed frame range " + Quoted(word) +
                                      ", expected FIRST..LAST or FIRST..LAST/STEP");
    }
    return {*first, *last, *step};
}

// The word of text at or after from (blanks as a stream skips them), and from moved past
// it. A command or a variable's name is short: a longer word comes back cut one character
// past the longest, which matches none, so a line is never scanned again for every command.
std::string NextWord(const std::string& text, size_t& from) {
    constexpr size_t kLongestName = 64;
    constexpr std::string_view kBlanks = " \t\n\v\f\r";
    const size_t start = std::min(text.find_first_not_of(kBlanks.data(), from), text.size());
    size_t end = start;
    while (end < text.size() && end - start <= kLongestName &&
           kBlanks.find(text[end]) == kBlanks.npos)
        ++end;
    from = end;
    return text.substr(start, end - start);
}

// Splits the commands of one line at `;`. A text value (`set` or `expect` of a text) and a
// `logged` event run to the end of the line, `;` and all.
std::vector<std::string> SplitCommands(const std::string& text) {
    std::vector<std::string> commands;
    size_t from = 0;
    while (from <= text.size()) {
        size_t at = from;
        const std::string command = NextWord(text, at);
        const std::string name = NextWord(text, at);
        const std::optional<StateVar::Kind> kind = StateVarKind(name);
        const bool toEnd =
            command == cmd::kLogged ||
            ((command == cmd::kSet || command == cmd::kExpect) && kind == StateVar::Kind::Text);
        const size_t semicolon = toEnd ? std::string::npos : text.find(';', from);
        commands.push_back(text.substr(from, semicolon - from));
        if (semicolon == std::string::npos) break;
        from = semicolon + 1;
    }
    return commands;
}

ScriptLine ReadCommand(int number, const std::string& text) {
    ScriptLine line;
    line.lineNumber = number;
    std::istringstream words(text);
    if (!(words >> line.command)) throw ScriptError(number, "missing command");
    std::getline(words, line.rest);
    const size_t start = line.rest.find_first_not_of(" \t");
    line.rest = start == std::string::npos ? "" : line.rest.substr(start);
    std::istringstream args(line.rest);
    for (std::string word; args >> word;) line.args.push_back(word);
    if ((line.command == cmd::kSet || line.command == cmd::kExpect) && !line.args.empty()) {
        // A text value is everything after the name.
        const size_t after = line.rest.find(line.args[0]) + line.args[0].size();
        const size_t valueStart = line.rest.find_first_not_of(" \t", after);
        line.rest = valueStart == std::string::npos ? "" : line.rest.substr(valueStart);
    }
    CheckLine(line);
    return line;
}

// The most lines that frame ranges may add to a script.
constexpr int64_t kMaxRangeLines = 100000;

}  // namespace

std::vector<ScriptLine> ParseScript(const std::string& text) {
    std::vector<ScriptLine> lines;
    // The `at` lines since the last idle line: they run in frame order, and in the written
    // order within a frame, so a range may be written before single frames inside it.
    std::vector<ScriptLine> pending;
    auto flush = [&] {
        std::stable_sort(pending.begin(), pending.end(),
                         [](const ScriptLine& a, const ScriptLine& b) { return *a.at < *b.at; });
        for (ScriptLine& line : pending) lines.push_back(std::move(line));
        pending.clear();
    };
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    int64_t lastAt = 0;  // no later line may start before this frame
    int64_t rangeLines = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::istringstream words(raw);
        std::string word;
        if (!(words >> word) || word[0] == '#') continue;

        if (word != "at") {
            flush();
            for (const std::string& command : SplitCommands(raw)) {
                lines.push_back(ReadCommand(number, command));
            }
            continue;
        }
        std::string frameWord;
        if (!(words >> frameWord)) throw ScriptError(number, "missing frame number after 'at'");
        const Frames frames = ParseFrames(number, frameWord);
        if (frames.first < lastAt) {
            throw ScriptError(number, "frame " + std::to_string(frames.first) +
                                          " comes before frame " + std::to_string(lastAt));
        }
        std::string commandText;
        std::getline(words, commandText);
        if (commandText.find_first_not_of(" \t") == std::string::npos) {
            throw ScriptError(number, "missing command after 'at'");
        }
        std::vector<ScriptLine> commands;
        for (const std::string& command : SplitCommands(commandText)) {
            commands.push_back(ReadCommand(number, command));
        }
        const int64_t count = (frames.last - frames.first) / frames.step + 1;
        if (count > 1) {
            rangeLines += count * static_cast<int64_t>(commands.size());
            if (rangeLines > kMaxRangeLines) {
                throw ScriptError(number, "frame ranges give more than " +
                                              std::to_string(kMaxRangeLines) + " lines");
            }
        }
        for (int64_t f = frames.first; f <= frames.last; f += frames.step) {
            for (const ScriptLine& command : commands) {
                pending.push_back(command);
                pending.back().at = f;
            }
        }
        lastAt = frames.first;
    }
    flush();
    // An idle line between them: a later `at` line must not start before an earlier one ends.
    int64_t latest = 0;
    for (const ScriptLine& line : lines) {
        if (!line.at) continue;
        if (*line.at < latest) {
            throw ScriptError(line.lineNumber, "frame " + std::to_string(*line.at) +
                                                   " comes before frame " + std::to_string(latest));
        }
        latest = *line.at;
    }
    return lines;
}

bool ReadScriptFile(const std::string& path, std::string& text, std::string& why) {
    std::FILE* in = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
    const bool failed = std::ferror(in) != 0;
    if (failed) why = std::strerror(errno);
    if (in != stdin) std::fclose(in);
    return !failed;
}

}  // namespace korvane::script
