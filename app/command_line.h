#pragma once
// The command line, read with Qt's parser before the window system is touched: --help and
// --version answer without a display; --record FILE, --replay FILE and --hall URL choose how
// to play.

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct CommandLineAnswer {
    int exitCode = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

struct PlayOptions {
    std::string recordPath;  // write the session to this file
    std::string replayPath;  // show this recording instead of playing
    std::string hallUrl;     // play for the hall of fame at this http(s) address
};

// Nothing when the game should start (with its options in *play, when given); otherwise
// what to print and the exit code.
std::optional<CommandLineAnswer> AnswerCommandLine(const std::vector<std::string>& args,
                                                   PlayOptions* play = nullptr);

}  // namespace korvane
