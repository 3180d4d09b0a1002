// korvane-bench: the engine flat out and on the emulated period PC, then the real desktop
// program paced at the default star count.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "headless_bench.h"
#include "look.h"
#include "paced_bench.h"

int main(int argc, char** argv) {
    using korvane::bench::MeasureOrdinaryPlay;
    std::printf("Engine, ordinary play (cube moving, no beam, no torpedo):\n");
    std::printf("%6s %14s %14s %10s\n", "stars", "flat-out fps", "emulated fps", "flash s");
    double flat150 = 0, emulated150 = 0;
    for (int stars : {0, 150, 500}) {
        const auto r = MeasureOrdinaryPlay(stars, 200000);
        std::printf("%6d %14.0f %14.1f %10.3f\n", r.stars, r.flatOutFramesPerSecond,
                    r.emulatedFramesPerSecond, r.flashSeconds);
        if (stars == 150) {
            flat150 = r.flatOutFramesPerSecond;
            emulated150 = r.emulatedFramesPerSecond;
        }
    }
    std::fflush(stdout);

    // The real program, offscreen and silent, paced.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    korvane::look::InstallLook(app);
    const auto paced = korvane::bench::MeasurePacedPlay(150, 10.0);
    std::printf("\nDesktop program, paced, 150 stars, %.1f s:\n", paced.seconds);
    std::printf(
        "  frames %lld, achieved %.1f fps, emulated %.1f fps (%+.1f%%), CPU %.1f%% of a core\n",
        paced.frames, paced.achievedFramesPerSecond, paced.emulatedFramesPerSecond,
        100.0 * (paced.achievedFramesPerSecond / paced.emulatedFramesPerSecond - 1.0),
        100.0 * paced.cpuShare);
    std::printf(
        "summary: flat out %.0f fps at 150 stars; emulated %.1f fps; paced %.1f fps "
        "(%+.1f%%) at %.1f%% CPU\n",
        flat150, emulated150, paced.achievedFramesPerSecond,
        100.0 * (paced.achievedFramesPerSecond / paced.emulatedFramesPerSecond - 1.0),
        100.0 * paced.cpuShare);
    return 0;
}
