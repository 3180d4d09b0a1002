#pragma once
// The real desktop program, offscreen, paced as a player sees it.

namespace korvane::bench {

struct PacedResult {
    double seconds = 0;
    long long frames = 0;
    double achievedFramesPerSecond = 0;
    double emulatedFramesPerSecond = 0;
    double cpuShare = 0;  // CPU time of the process per second of play
};

// Plays an ordinary game at the given star count for the given seconds. Needs a
// QApplication on the offscreen platform.
PacedResult MeasurePacedPlay(int stars, double seconds);

}  // namespace korvane::bench
