#pragma once
// korvane-sim's command line as a function, so that tests can run it in-process.

#include <string>
#include <vector>

#include "script_run.h"

namespace korvane::sim {

// korvane-sim [--seed N] [--screen WxH] [--max-frames N] SCRIPT, or --help, or --version.
// For --help and --version the answer is the log; a refusal's message begins "korvane-sim: ".
script::RunResult RunSimCommandLine(const std::vector<std::string>& args);

}  // namespace korvane::sim
