#pragma once
// The engine's own speed, flat out and emulated, for korvane-bench.

#include <cstdint>

namespace korvane::bench {

struct HeadlessResult {
    int stars = 0;
    int64_t frames = 0;
    double flatOutFramesPerSecond = 0;   // on this machine, no pacing
    double emulatedFramesPerSecond = 0;  // on the period PC the pacing follows
    double flashSeconds = 0;             // one flash loop (3 x stars red discs of radius 30)
};

// Plays an ordinary game (cube moving, no beam, no torpedo) for the given frames.
HeadlessResult MeasureOrdinaryPlay(int stars, int64_t frames);

}  // namespace korvane::bench
