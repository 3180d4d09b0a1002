#include "random_script.h"

#include "random.h"

namespace korvane::soak {

namespace {

const char* const kButtons[] = {"cmdPhaser",    "cmdPhoton",     "cmdShields",       "cmdLeft",
                                "cmdRight",     "cmdStop",       "cmdXhairup",       "cmdXhairdown",
                                "cmdXhairleft", "cmdXhairright", "cmdStopCrosshair", "cmdSound",
                                "cmdHint",      "cmdHelp"};
const int kKeys[] = {17, 32, 37, 38, 39, 40, 65, 67, 72, 83, 88, 90, 16, 66, 13, 18};
const int kMouseButtons[] = {1, 2, 4};

std::string StarsAnswer(Random& r) {
    // Few stars keep the soak fast; the special counts come up often.
    switch (r.Rand(6)) {
        case 0:
            return "stars 0\n";
        case 1:
            return "stars 142\n";
        case 2:
            return "stars 500\n";
        case 3:
            return "default-stars\n";
        default:
            return "stars " + std::to_string(r.Rand(40)) + "\n";
    }
}

}  // namespace

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

}  // namespace korvane::soak
