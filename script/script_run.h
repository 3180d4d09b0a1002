#pragma once
// A script run headless from start to end: the real engine against the scripted Shell,
// flat out. korvane-sim, the tests and the hall's check of a recording all run scripts so.

#include <string>
#include <vector>

#include "scripted_shell.h"

namespace korvane::script {

struct RunResult {
    // How the run stopped: the script used up (or refused), the program ended, a limit.
    using Stop = RunStop;
    int exitCode = 0;      // 0 run ended, 2 bad script, 3 desync or an expect never reached
    std::string log;       // what the run printed
    std::string error;     // "line L: what is wrong" for a refused script or an unread expect
    std::string warnings;  // what went wrong without stopping the run, one line each
    Stop stop = Stop::Ended;
    std::string desync;  // "line L: frame F: desync NAME expected V got A"
};

// With an observer, it watches every frame and the run keeps no log (for long runs).
RunResult RunScript(const std::string& script, const RunOptions& options,
                    FrameObserver observer = nullptr);
// The same for lines already read (ParseScript), so that a caller that checked them reads
// the script only once.
RunResult RunParsed(std::vector<ScriptLine> lines, const RunOptions& options,
                    FrameObserver observer = nullptr);

}  // namespace korvane::script
