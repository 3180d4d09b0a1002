// korvane-bench: the engine flat out and on the emulated period PC, then the real desktop
// program paced at the default star count.
#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "headless_bench.h"
#include "look.h"
#include "paced_bench.h"

namespace {

const char kUsage[] = "Usage: korvane-bench [--help]\n";

const char kHelp[] =
    "Usage: korvane-bench [--help]\n"
    "\n"
    "Measures the game's speed; takes about 15 s and prints:\n"
    "  1. the engine in ordinary play (cube moving, no beam, no torpedo) at 0, 150 and\n"
    "     500 stars: frames per second flat out on this machine, frames per second on the\n"
    "     emulated period PC that paces the game, and the seconds one flash loop lasts;\n"
    "  2. the real desktop program, offscreen, silent and paced, for 10 s at 150 stars:\n"
    "     the frame rate it achieved against the emulated one, and its CPU use;\n"
    "  3. a one-line summary, the last line.\n"
    "\n"
    "  --help  show this help and exit\n";

// The offscreen platform cannot raise a window and says so each time the main window is
// shown at a game start; that says nothing about speed, so it stays out of the report.
QtMessageHandler qtDefaultHandler = nullptr;

void DropRaiseNoise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("does not support raise()"))) {
        return;
    }
    if (qtDefaultHandler) qtDefaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any measuring, so that a mistyped option costs nothing.
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            help = true;
            continue;
        }
        const char* what = argv[i][0] == '-' ? "unknown option" : "unexpected argument";
        std::fprintf(stderr, "korvane-bench: %s '%s'\n%s", what, argv[i], kUsage);
        return 2;
    }
    if (help) {
        std::fputs(kHelp, stdout);
        return 0;
    }

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
    qtDefaultHandler = qInstallMessageHandler(DropRaiseNoise);
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
