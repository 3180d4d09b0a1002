#pragma once
// A korvane-sim script, read and checked whole before anything runs.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "game_state.h"
#include "shell.h"

namespace korvane::script {

struct ScriptLine {
    int lineNumber = 0;
    std::optional<int64_t> at;  // the frame in whose yield the line runs
    std::string command;
    std::vector<std::string> args;
    std::string rest;  // everything after the command word, for text values
};

struct ScriptError : std::runtime_error {
    ScriptError(int line, const std::string& what) : std::runtime_error(what), lineNumber(line) {}
    int lineNumber;
};

// The whole of a script file, or of standard input for "-"; false, with the reason in why,
// when it cannot be read (a folder, no permission, a read error).
bool ReadScriptFile(const std::string& path, std::string& text, std::string& why);

// Throws ScriptError for an unknown command or name, a missing or malformed argument, or
// frame numbers going backwards.
std::vector<ScriptLine> ParseScript(const std::string& text);

// Text from the script as a message quotes it: in single quotes, with every byte that is not
// printable ASCII (and the backslash) written as \xNN, so that binary input cannot garble
// the terminal.
std::string Quoted(const std::string& text);

// A decimal number, possibly negative.
std::optional<int64_t> ParseInt(const std::string& text);
// A seed: an unsigned 64-bit decimal number.
std::optional<uint64_t> ParseSeed(const std::string& text);
// A screen size WxH, each side at most 100000.
std::optional<ScreenSize> ParseScreenSize(const std::string& text);

// For a checked expect line: nothing when the variable holds the expected value, otherwise
// "NAME expected VALUE got ACTUAL".
std::optional<std::string> Desync(GameState& state, const ScriptLine& expectLine);

// A `logged FRAMES [COUNT] EVENT` line: the log must hold EVENT in those frames (F or F..L),
// at least once, or exactly COUNT times (0: never). EVENT is compared word for word with the
// start of each logged event, so `sound 105` matches `sound 105 1`.
struct LoggedCheck {
    int64_t first = 0, last = 0;
    int64_t count = -1;  // -1: at least once
    std::string event;
};
// Throws ScriptError for a malformed line.
LoggedCheck ReadLoggedCheck(const ScriptLine& line);

}  // namespace korvane::script
