// korvane-bench: the engine flat out and on the emulated period PC.
#include <cstdio>
#include <initializer_list>

#include "headless_bench.h"

int main() {
    using korvane::bench::MeasureOrdinaryPlay;
    std::printf("%6s %14s %14s %10s\n", "stars", "flat-out fps", "emulated fps", "flash s");
    double fps150 = 0;
    for (int stars : {0, 150, 500}) {
        const auto r = MeasureOrdinaryPlay(stars, 200000);
        std::printf("%6d %14.0f %14.1f %10.3f\n", r.stars, r.flatOutFramesPerSecond,
                    r.emulatedFramesPerSecond, r.flashSeconds);
        if (stars == 150) fps150 = r.flatOutFramesPerSecond;
    }
    std::printf("summary: engine flat out at 150 stars %.0f frames/s\n", fps150);
    return 0;
}
