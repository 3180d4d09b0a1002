// korvane-sim [--seed N] [--screen WxH] [--max-frames N] SCRIPT
#include <cstdio>
#include <string>
#include <vector>

#include "sim_command_line.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const korvane::script::RunResult r = korvane::sim::RunSimCommandLine(args);
    std::fwrite(r.log.data(), 1, r.log.size(), stdout);
    std::fflush(stdout);
    std::fputs(r.warnings.c_str(), stderr);
    if (!r.error.empty()) std::fprintf(stderr, "%s\n", r.error.c_str());
    return r.exitCode;
}
