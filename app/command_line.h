#pragma once
// The command line: the game itself takes no options; --help and --version answer as Linux
// users expect, and anything else is a usage error.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct CommandLineAnswer {
    int exitCode = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

// Nothing when the game should start; otherwise what to print and the exit code.
std::optional<CommandLineAnswer> AnswerCommandLine(const std::vector<std::string>& args);

}  // namespace korvane
