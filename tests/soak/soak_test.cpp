// Random play for many frames, checking the game state after every one. The frame budget
// comes from KORVANE_SOAK_FRAMES (CI's sanitizer build runs ten million); a failing run
// prints its seed and leaves its script for korvane-sim.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>

#include "game.h"
#include "random.h"
#include "script_run.h"

namespace korvane::soak {
namespace {

bool In(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

// What must hold of the game state between any two frames, whatever the player did:
// empty when everything holds, otherwise the first broken rule.
std::string BrokenInvariant(const Game& game, bool playControlsEnabled) {
    const GameState& s = game.state();
    if (s.gamerunning != playControlsEnabled) return "play controls disagree with gamerunning";
    if (!In(s.numberofstars, 0, kMaxStars)) return "numberofstars";
    if (!In(s.hintcount, 0, 3)) return "hintcount between hints";
    if (s.y == 0) return {};  // no game has started yet: nothing else is set
    if (s.y != 455) return "ship y " + std::to_string(s.y);
    const std::tuple<const char*, int, int, int> ranges[] = {
        {"ship x", s.x, 0, 630},           {"crossx", s.crossx, 3, 638},
        {"crossy", s.crossy, 3, 446},      {"deltax", s.deltax, -1, 1},
        {"crossxdelta", s.crossxdelta, -1, 1}, {"crossydelta", s.crossydelta, -1, 1},
        {"starindex", s.starindex, 0, kMaxStars + 1}, {"beamframes", s.beamframes, 0, 4},
        {"rechargeframes", s.rechargeframes, 0, 100}, {"blast1frames", s.blast1frames, 0, 4},
        {"blast2frames", s.blast2frames, 0, 4}, {"blast3frames", s.blast3frames, 0, 4},
        {"cubestep", s.cubestep, 0, 24},   {"clockframes", s.clockframes, 0, 499},
        {"modesteps", s.modesteps, 0, 9},  {"holdsteps", s.holdsteps, 0, 99},
        {"retreatsteps", s.retreatsteps, 0, 29}, {"cubemode", s.cubemode, -2, 0},
        {"cubeanger", s.cubeanger, 0, INT16_MAX}};
    for (const auto& [name, value, lo, hi] : ranges) {
        if (!In(value, lo, hi)) return std::string(name) + " " + std::to_string(value);
    }
    for (int i = 0; i <= s.numberofstars; ++i) {
        if (!In(s.starx[i], 0, 641) || !In(s.stary[i], 0, 481)) {
            return "star " + std::to_string(i) + " off the viewscreen";
        }
    }
    const int16_t rows[3] = {s.photon1y, s.photon2y, s.photon3y};
    const bool busy[3] = {s.photonfire1, s.photonfire2, s.photonfire3};
    for (int n = 0; n < 3; ++n) {
        if (busy[n] && !In(rows[n], -1, 448)) return "torpedo row " + std::to_string(rows[n]);
    }
    return {};
}

const char* const kButtons[] = {"cmdPhaser",    "cmdPhoton",     "cmdShields",       "cmdLeft",
                                "cmdRight",     "cmdStop",       "cmdXhairup",       "cmdXhairdown",
                                "cmdXhairleft", "cmdXhairright", "cmdStopCrosshair", "cmdSound",
                                "cmdHint",      "cmdHelp"};
const int kKeys[] = {17, 32, 37, 38, 39, 40, 65, 67, 72, 83, 88, 90, 16, 66, 13, 18};
const int kMouseButtons[] = {1, 2, 4};

std::string StarsAnswer(Random& r) {
    // Few stars keep the soak fast; the special counts come up often.
    const char* const special[] = {"stars 0\n", "stars 142\n", "stars 500\n", "default-stars\n"};
    const int pick = r.Rand(6);
    return pick < 4 ? special[pick] : "stars " + std::to_string(r.Rand(40)) + "\n";
}

// Random play as a korvane-sim script, so that any run the soak finds fault with can be
// replayed exactly: games started and stopped (nested too), random star counts, every
// button, key and mouse command at random frames, minimising and restoring, victory dialogs
// answered both ways, now and then the end of the program.
std::string RandomScript(uint64_t seed, int64_t frames) {
    Random r;
    r.Seed(seed);
    std::string script = StarsAnswer(r) + "click cmdStart\n";
    int64_t frame = 1;
    while (frame < frames) {
        // Quiet stretches and bursts of commands, as a player's hands make them.
        frame += r.Rand(r.Rand(10) == 0 ? 400 : 12);
        const std::string at = "at " + std::to_string(frame) + " ";
        const int kind = r.Rand(100);
        if (kind < 40) {
            script += at + "keyup " + std::to_string(kKeys[r.Rand(16)]) + "\n";
        } else if (kind < 75) {
            script += at + "click " + kButtons[r.Rand(14)] + "\n";
        } else if (kind < 85) {
            script += at + "mouseup " + std::to_string(kMouseButtons[r.Rand(3)]) + " " +
                      std::to_string(r.Rand(900) - 100) + " " + std::to_string(r.Rand(700) - 100) +
                      "\n";
        } else if (kind < 88) {
            script += at + (r.Rand(2) == 0 ? "minimise\n" : "restore\n");
        } else if (kind < 91) {
            script += at + "harder\n";
        } else if (kind < 97) {
            // A stop, and sometimes at once a new game inside the same frame.
            script += StarsAnswer(r) + at + "click cmdStart\n";
            if (r.Rand(3) == 0) script += at + "click cmdStart\n";
        } else if (kind < 99) {
            // Between games: restore and start again.
            script += "restore\n" + StarsAnswer(r) + "click cmdStart\n";
        } else if (r.Rand(20) == 0) {
            const char* ends[] = {"keyup 81\n", "close\n", "click cmdExit\n"};
            script += at + ends[r.Rand(3)];
        }
    }
    return script;
}

int64_t FrameBudget() {
    const char* env = std::getenv("KORVANE_SOAK_FRAMES");
    return env ? std::atoll(env) : 1'000'000;
}

TEST(Soak, RandomPlayKeepsTheGameStateSound) {
    const int64_t budget = FrameBudget();
    int64_t frames = 0, runs = 0, games = 0;
    for (uint64_t seed = 1; frames < budget; ++seed) {
        const std::string script = RandomScript(seed, 20000);
        std::string failure;
        bool wasRunning = false;
        script::RunOptions options;
        options.seed = seed;
        options.maxFrames = 40000;
        const script::RunResult result =
            script::RunScript(script, options, [&](const Game& game, bool controls) {
                if (game.state().gamerunning && !wasRunning) ++games;
                wasRunning = game.state().gamerunning;
                if (failure.empty()) failure = BrokenInvariant(game, controls);
            });
        ASSERT_EQ(result.exitCode, 0) << result.error;
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
    std::printf("soak: %lld frames, %lld program runs, %lld games\n", static_cast<long long>(frames),
                static_cast<long long>(runs), static_cast<long long>(games));
    EXPECT_GE(frames, budget);
    EXPECT_GT(games, runs);
}

}  // namespace
}  // namespace korvane::soak
