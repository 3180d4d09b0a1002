#pragma once
// A player that wins a game at 0 stars, played headless from the seed: what it gives, frame
// by frame, as the lines of a script. The ship stays under the cube, the crosshairs on it,
// torpedoes and phasers fired as they are ready; the shields are up but at the heights where
// the cube shoots them, and a globe is dodged once they are gone.
#include <cstdint>
#include <optional>
#include <string>

namespace korvane::testing {

// The lines from the first frame on (`at F ...`), or nothing when this player loses the
// game of that seed.
std::optional<std::string> WinningLines(uint64_t seed);

}  // namespace korvane::testing
