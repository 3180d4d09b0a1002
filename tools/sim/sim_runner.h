#pragma once
// korvane-sim as a function, so that tests can run scripts in-process.

#include <string>
#include <vector>

#include "scripted_shell.h"

namespace korvane::sim {

struct SimResult {
    int exitCode = 0;
    std::string log;    // what the run printed
    std::string error;  // the message for a bad option or script
};

SimResult RunSimScript(const std::string& script, const SimOptions& options);

// The same with a watcher of every frame and without a log (for long random runs).
SimResult RunSimScriptObserved(const std::string& script, const SimOptions& options,
                               FrameObserver observer);

// The command line: korvane-sim [--seed N] [--screen WxH] [--max-frames N] SCRIPT
SimResult RunSimCommandLine(const std::vector<std::string>& args);

}  // namespace korvane::sim
