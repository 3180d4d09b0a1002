// hall-recording SEED FRAMES SHOTS [SEED FRAMES SHOTS ...]: recordings of one game each from
// a fresh program, as `korvane --record` would write them: the game seeded with SEED at 0
// stars, the ship moved under the cube's column, SHOTS torpedoes launched once the cube has
// come down into view (each of the first three strikes: 5 points), the stop at frame FRAMES
// (at least 3200), then the nine expect lines from the state the headless run ends in.
// Several games come each after a line "----", which spares the load test a process per game.
// hall-recording mutated N: the fuzz tests' mangled script number N, for the server to refuse.
// hall-recording paced SEED FRAMES SHOTS STARS: one game at STARS stars, then "----", then for
// each of its frames the emulated seconds at its yield, which say when a live client plays it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "command_table.h"
#include "game.h"
#include "script_mutations.h"
#include "script_run.h"

namespace {

// The values the headless run prints for a script's print lines, in order.
std::vector<std::string> Printed(const std::string& script) {
    const korvane::script::RunResult run = korvane::script::RunScript(script, {});
    if (run.exitCode != 0) std::fprintf(stderr, "hall-recording: %s\n", run.error.c_str());
    std::vector<std::string> values;
    std::istringstream log(run.log);
    for (std::string line; std::getline(log, line);) {
        const size_t var = line.find(" var ");
        if (var != std::string::npos) values.push_back(line.substr(var + 5));
    }
    return values;
}

// The headless run noting each yield's emulated time: when a live client plays the frame.
struct TimedShell : korvane::script::ScriptedShell {
    explicit TimedShell(const std::string& script)
        : ScriptedShell(korvane::script::ParseScript(script), {}, log, log) {}
    korvane::Task DoEvents() override {
        co_await ScriptedShell::DoEvents();
        times.push_back(game().surface().EmulatedMicros() / 1e6);
    }
    std::string log;
    std::vector<double> times;
};

std::string PrintRecording(const std::string& seed, long frames, long shots,
                           const std::string& stars = "0") {
    std::string game =
        "seed " + seed + "\nscreensize 1024x768\nstars " + stars + "\nclick cmdStart\n";
    // Where the cube and the ship start: the ship, at half a pixel a frame, goes most of the
    // way to the cube's column, and the cube comes the rest.
    const std::vector<std::string> start = Printed(game + "at 1 print cubex; print x\n");
    if (start.size() != 2) return "";
    const long toCube = std::stol(start[0].substr(6)) + 44 - std::stol(start[1].substr(2));
    game += std::string("at 1 click ") + (toCube < 0 ? "cmdLeft" : "cmdRight") + "\n";
    game += "at " + std::to_string(1 + std::labs(toCube) * 14 / 10) + " click cmdStop\n";
    for (long i = 1; i <= shots; ++i) game += "at " + std::to_string(2540 + i * 60) + " keyup 32\n";
    game += "at " + std::to_string(std::max(frames, 3200L)) + " click cmdStart\n";
    std::string probe = game;
    const auto& names = korvane::script::kRecordedVariables;
    for (const char* name : names) probe += std::string("print ") + name + "\n";
    // A game longer than the headless run's limit ends unseen: its checks are made up, for
    // a replay that stops at its own limit before it reads them.
    const std::vector<std::string> state = Printed(probe);
    for (size_t i = 0; i < names.size(); ++i)
        game += "expect " + (i < state.size() ? state[i] : std::string(names[i]) + " 0") + "\n";
    std::fputs(game.c_str(), stdout);
    return game;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "mutated") {
        std::fputs(korvane::fuzz::MutatedScript(std::stoull(argv[2])).c_str(), stdout);
        return 0;
    }
    if (argc == 6 && std::string(argv[1]) == "paced") {
        TimedShell shell(PrintRecording(argv[2], std::stol(argv[3]), std::stol(argv[4]), argv[5]));
        korvane::Game game(shell);
        shell.AttachGame(game);
        shell.DiscardLog();
        game.Main();
        shell.RunIdleLines();
        std::puts("----");
        for (const double t : shell.times) std::printf("%.6f\n", t);
        return 0;
    }
    if (argc < 4 || (argc - 1) % 3 != 0) {
        std::fprintf(stderr, "usage: hall-recording SEED FRAMES SHOTS [SEED FRAMES SHOTS ...]\n");
        return 2;
    }
    for (int a = 1; a + 2 < argc; a += 3) {
        if (a > 1) std::puts("----");
        if (PrintRecording(argv[a], std::stol(argv[a + 1]), std::stol(argv[a + 2])).empty())
            return 1;
    }
    return 0;
}
