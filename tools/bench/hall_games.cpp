#include "hall_games.h"

#include <map>
#include <memory>
#include <sstream>
#include <thread>

#include "command_table.h"
#include "game.h"
#include "script_run.h"
#include "scripted_shell.h"

namespace korvane::bench {

namespace {

// The input of one game: key releases by frame (17 Ctrl: phasers, 83 S: shields).
// The game's lines up to frame `frames`, where a stop click ends it; a game that ends by
// itself there has no such click: with no game running, it would start a second one.
std::string GameLines(uint64_t seed, int64_t frames, const std::multimap<int64_t, int>& keys,
                      bool stop = true, int stars = 150) {
    std::string game = "seed " + std::to_string(seed) + "\nscreensize 1024x768\nstars " +
                       std::to_string(stars) + "\nclick cmdStart\n";
    for (const auto& [frame, key] : keys) {
        if (frame < frames || (!stop && frame == frames)) {
            game += "at " + std::to_string(frame) + " keyup " + std::to_string(key) + "\n";
        }
    }
    return stop ? game + "at " + std::to_string(frames) + " click cmdStart\n" : game;
}

// The frame of the first line of `log` holding `what`, or -1.
int64_t FrameOf(const std::string& log, const std::string& what) {
    const size_t at = log.find(what);
    if (at == std::string::npos) return -1;
    return std::stoll(log.substr(log.rfind('\n', at) + 1));
}

std::string ProbeLines() {
    std::string probe;
    for (const char* name : script::kRecordedVariables)
        probe += std::string("print ") + name + "\n";
    return probe;
}

// The headless run of a script, noting each yield's emulated time: when a client playing
// at the game's pace has played that frame.
struct TimedShell : script::ScriptedShell {
    explicit TimedShell(const std::string& script)
        : ScriptedShell(script::ParseScript(script), {}, log, warnings) {}
    Task DoEvents() override {
        co_await ScriptedShell::DoEvents();
        times.push_back(game().surface().EmulatedMicros() / 1e6);
    }
    void Run() {
        Game played(*this);
        AttachGame(played);
        played.Main();
        RunIdleLines();
    }
    std::string log, warnings;
    std::vector<double> times;
};

}  // namespace

PacedGame PacedHallGame(uint64_t seed, int64_t frames, int stars) {
    std::multimap<int64_t, int> keys;
    for (int64_t f = 100; f < frames; f += 100) keys.emplace(f, 17);
    auto shell =
        std::make_unique<TimedShell>(GameLines(seed, frames, keys, true, stars) + ProbeLines());
    shell->Run();
    // A game the cube won sooner ends there, with no stop click to start a second one.
    const int64_t ended = FrameOf(shell->log, " teardown");
    const bool stopped = ended < 0 || ended >= frames;
    const std::string lines = GameLines(seed, stopped ? frames : ended, keys, stopped, stars);
    if (!stopped) {
        shell = std::make_unique<TimedShell>(lines + ProbeLines());
        shell->Run();
    }
    PacedGame game;
    game.recording = lines;
    std::istringstream log(shell->log);
    for (std::string line; std::getline(log, line);) {
        const size_t var = line.find(" var ");
        if (var != std::string::npos) game.recording += "expect " + line.substr(var + 5) + "\n";
    }
    game.times = std::move(shell->times);
    return game;
}

HallGame OneMinuteGame(uint64_t seed, int64_t frames) {
    std::multimap<int64_t, int> keys;
    for (int64_t f = 100; f < frames; f += 100) keys.emplace(f, 17);
    const std::string probe = ProbeLines();
    script::RunResult run;
    // Each globe that ends a try is met with the shields in the next: up 30 frames before
    // it arrives, down after, so that the cube rarely finds them up to shoot them away.
    for (int attempt = 0; attempt < 10; ++attempt) {
        run = script::RunScript(GameLines(seed, frames, keys) + probe, {});
        const int64_t globe = FrameOf(run.log, " dialog frmAntiZap");
        if (globe < 0 || globe <= 40) break;
        keys.emplace(globe - 30, 83);
        keys.emplace(globe + 20, 83);
    }
    const int64_t ended = FrameOf(run.log, " teardown");
    const bool stopped = ended < 0 || ended >= frames;
    if (!stopped) run = script::RunScript(GameLines(seed, ended, keys, false) + probe, {});
    HallGame game;
    game.recording = GameLines(seed, stopped ? frames : ended, keys, stopped);
    std::istringstream log(run.log);
    std::string line;
    while (std::getline(log, line)) {
        const size_t var = line.find(" var ");
        if (var == std::string::npos) continue;
        game.recording += "expect " + line.substr(var + 5) + "\n";
        game.frames = std::stoll(line);
        if (line.compare(var + 5, 6, "score ") == 0) game.score = std::stoi(line.substr(var + 11));
    }
    return game;
}

std::vector<HallGame> OneMinuteGames(const std::vector<uint64_t>& seeds) {
    std::vector<HallGame> games(seeds.size());
    std::vector<std::thread> threads;
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    for (size_t t = 0; t < cores; ++t) {
        threads.emplace_back([&, t] {
            for (size_t i = t; i < seeds.size(); i += cores) games[i] = OneMinuteGame(seeds[i]);
        });
    }
    for (std::thread& thread : threads) thread.join();
    return games;
}

double ReplayCpuSeconds(const std::string& recording) {
    const double start = script::ThreadCpuSeconds();
    script::RunScript(recording, {});
    return script::ThreadCpuSeconds() - start;
}

}  // namespace korvane::bench
