#pragma once
// A script run headless from start to end: the real engine against the scripted Shell,
// flat out. korvane-sim, the tests and the hall's check of a recording all run scripts so.

#include <string>
#include <vector>

#include "scripted_shell.h"

namespace korvane::script {

struct RunResult {
    int exitCode = 0;      // 0 run ended, 2 bad script, 3 desync
    std::string log;       // what the run printed
    std::string error;     // for a refused script: "line L: what is wrong"
    std::string warnings;  // what went wrong without stopping the run, one line each
};

RunResult RunScript(const std::string& script, const RunOptions& options);

// The same with a watcher of every frame and without a log (for long random runs).
RunResult RunScriptObserved(const std::string& script, const RunOptions& options,
                            FrameObserver observer);

}  // namespace korvane::script
