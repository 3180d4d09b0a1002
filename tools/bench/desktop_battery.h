#pragma once
// The real desktop program in a real X window (a private Xvfb display), against the floor
// window: what each costs while the game plays, and what the game costs idle between games.

#include <string>

namespace korvane::bench {

struct Cost {
    double cpuShare = 0;          // CPU time of all threads per second, 1.0 = one core
    double wakeupsPerSecond = 0;  // context switches of all threads per second
};

struct DesktopBattery {
    bool measured = false;
    std::string problem;  // why nothing was measured, when nothing was
    double seconds = 0;
    Cost floor;                   // korvane-bench-floor
    Cost playing;                 // korvane, a game at 150 stars
    Cost idle;                    // korvane, the game stopped
    bool gameRanThrough = false;  // no dialog ended the game while it was measured
};

// korvane and korvane-bench-floor are looked for in `programDir`.
DesktopBattery MeasureDesktopBattery(const std::string& programDir, double seconds);

}  // namespace korvane::bench
