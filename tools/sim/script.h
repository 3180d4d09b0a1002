#pragma once
// A korvane-sim script, read and checked whole before anything runs.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::sim {

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

// Throws ScriptError for an unknown command or name, a missing or malformed argument, or
// frame numbers going backwards.
std::vector<ScriptLine> ParseScript(const std::string& text);

// The main window's buttons that a script may click.
bool IsButtonName(const std::string& name);

}  // namespace korvane::sim
