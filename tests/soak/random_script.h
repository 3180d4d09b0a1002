#pragma once
// Random play as a korvane-sim script, so that any run the soak finds fault with can be
// replayed exactly with korvane-sim.

#include <cstdint>
#include <string>

namespace korvane::soak {

// A program run of roughly `frames` frames: games started and stopped (nested too), random
// star counts, every button, key and mouse command at random frames, minimising and
// restoring, victory dialogs answered both ways, now and then the end of the program.
std::string RandomScript(uint64_t seed, int64_t frames);

}  // namespace korvane::soak
