// Random play for many frames, checking the game state after every one. The frame budget
// comes from KORVANE_SOAK_FRAMES (CI's sanitizer build runs ten million); a failing run
// prints its seed and leaves its script for korvane-sim.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "invariants.h"
#include "random_script.h"
#include "sim_runner.h"

namespace korvane::soak {
namespace {

int64_t FrameBudget() {
    const char* env = std::getenv("KORVANE_SOAK_FRAMES");
    return env ? std::atoll(env) : 1'000'000;
}

TEST(Soak, RandomPlayKeepsTheGameStateSound) {
    const int64_t budget = FrameBudget();
    int64_t frames = 0, runs = 0, checks = 0, games = 0, commands = 0;
    for (uint64_t seed = 1; frames < budget; ++seed) {
        const std::string script = RandomScript(seed, 20000);
        std::string failure;
        bool wasRunning = false;
        sim::SimOptions options;
        options.seed = seed;
        options.maxFrames = 40000;
        const sim::SimResult result =
            sim::RunSimScriptObserved(script, options, [&](const Game& game, bool controls) {
                ++checks;
                if (game.state().gamerunning && !wasRunning) ++games;
                wasRunning = game.state().gamerunning;
                if (failure.empty()) failure = BrokenInvariant(game, controls);
            });
        ASSERT_EQ(result.exitCode, 0) << result.error;
        for (char c : script) commands += c == '\n';
        // The run's last line reads "F end" or "F exit".
        frames += std::atoll(result.log.c_str());
        ++runs;
        if (!failure.empty()) {
            const std::string path = "soak-failure-" + std::to_string(seed) + ".sim";
            std::ofstream(path) << script;
            FAIL() << failure << "\nreplay: korvane-sim --seed " << seed << " --max-frames "
                   << options.maxFrames << " " << path;
        }
    }
    std::printf("soak: %lld frames, %lld program runs, %lld games, %lld commands, %lld checks\n",
                static_cast<long long>(frames), static_cast<long long>(runs),
                static_cast<long long>(games), static_cast<long long>(commands),
                static_cast<long long>(checks));
    EXPECT_GE(frames, budget);
    EXPECT_GT(games, runs);
}

}  // namespace
}  // namespace korvane::soak
