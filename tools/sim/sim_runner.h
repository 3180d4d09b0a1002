#pragma once
// korvane-sim as a function, so that tests can run scripts in-process.

#include <string>
#include <vector>

#include "scripted_shell.h"

namespace korvane::sim {

struct SimResult {
    int exitCode = 0;      // 0 run ended, 2 bad option or script, 3 desync
    std::string log;       // what the run printed (for --help and --version, their answer)
    std::string error;     // the message for a bad option or script
    std::string warnings;  // what went wrong without stopping the run, one line each
};

// The whole of a script file, or of standard input for "-"; false, with the reason in why,
// when it cannot be read (a folder, no permission, a read error).
bool ReadScriptFile(const std::string& path, std::string& text, std::string& why);

SimResult RunSimScript(const std::string& script, const SimOptions& options);

// The same with a watcher of every frame and without a log (for long random runs).
SimResult RunSimScriptObserved(const std::string& script, const SimOptions& options,
                               FrameObserver observer);

// The command line: korvane-sim [--seed N] [--screen WxH] [--max-frames N] SCRIPT, or
// --help, or --version.
SimResult RunSimCommandLine(const std::vector<std::string>& args);

}  // namespace korvane::sim
