// korvane-sim [--seed N] [--screen WxH] [--max-frames N] SCRIPT
#include <cstdio>
#include <string>
#include <vector>

#include "sim_runner.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const korvane::sim::SimResult r = korvane::sim::RunSimCommandLine(args);
    if (r.exitCode != 0) {
        std::fprintf(stderr, "%s\n", r.error.c_str());
        return r.exitCode;
    }
    std::fwrite(r.log.data(), 1, r.log.size(), stdout);
    return 0;
}
