// hall-recording SEED FRAMES SHOTS [SEED FRAMES SHOTS ...]: recordings of one game each from
// a fresh program, as `korvane --record` would write them: the game seeded with SEED, a
// phaser shot every 20 frames (SHOTS of them), the ship moved a while, stopped at frame
// FRAMES, then the nine expect lines from the state the headless run ends in. Several games
// come each after a line "----", which spares the load test a process per game.
// hall-recording mutated N: the fuzz tests' mangled script number N, for the server to refuse.
#include <cstdio>
#include <sstream>
#include <string>

#include "command_table.h"
#include "script_mutations.h"
#include "script_run.h"

namespace {

bool PrintRecording(const std::string& seed, long frames, long shots) {
    std::string game = "seed " + seed + "\nscreensize 1024x768\nstars 0\nclick cmdStart\n";
    for (long i = 1; i <= shots && i * 20 < frames / 2; ++i) {
        game += "at " + std::to_string(i * 20) + " keyup 17\n";  // Ctrl: the phasers
    }
    // Where the ship stops is in the expect lines.
    game += "at " + std::to_string(frames / 2) + " click cmdLeft\n";
    game += "at " + std::to_string(frames / 2 + 5 + shots * 3) + " click cmdStop\n";
    game += "at " + std::to_string(frames) + " click cmdStart\n";
    std::string probe = game;
    for (const char* name : korvane::script::kRecordedVariables)
        probe += std::string("print ") + name + "\n";
    const korvane::script::RunResult run = korvane::script::RunScript(probe, {});
    if (run.exitCode != 0) {
        std::fprintf(stderr, "hall-recording: %s\n", run.error.c_str());
        return false;
    }
    std::istringstream log(run.log);
    std::string line;
    std::string expects;
    while (std::getline(log, line)) {
        const size_t var = line.find(" var ");
        if (var != std::string::npos) expects += "expect " + line.substr(var + 5) + "\n";
    }
    std::fputs((game + expects).c_str(), stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "mutated") {
        std::fputs(korvane::fuzz::MutatedScript(std::stoull(argv[2])).c_str(), stdout);
        return 0;
    }
    if (argc < 4 || (argc - 1) % 3 != 0) {
        std::fprintf(stderr, "usage: hall-recording SEED FRAMES SHOTS [SEED FRAMES SHOTS ...]\n");
        return 2;
    }
    for (int a = 1; a + 2 < argc; a += 3) {
        if (a > 1) std::puts("----");
        if (!PrintRecording(argv[a], std::stol(argv[a + 1]), std::stol(argv[a + 2]))) return 1;
    }
    return 0;
}
