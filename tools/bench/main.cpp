// korvane-bench: the engine flat out and on the emulated period PC, then the real desktop
// program paced at the default star count; or, with --battery, what the game costs a
// battery against the least any program showing its viewscreen can cost.
#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "battery_report.h"
#ifdef KORVANE_BENCH_HALL
#include "hall_bench.h"
#endif
#include "headless_bench.h"
#include "look.h"
#include "paced_bench.h"

namespace {

const char kUsage[] =
    "Usage: korvane-bench [--help | --battery [--web DIR] | --hall [--only-live]]\n";

const char kHelp[] =
    "Usage: korvane-bench [--help | --battery [--web DIR] | --hall [--only-live]]\n"
    "\n"
    "Measures the game's speed; takes about 15 s and prints:\n"
    "  1. the engine in ordinary play (cube moving, no beam, no torpedo) at 0, 150 and\n"
    "     500 stars: frames per second flat out on this machine, frames per second on the\n"
    "     emulated period PC that paces the game, and the seconds one flash loop lasts;\n"
    "  2. the real desktop program, offscreen, silent and paced, for 10 s at 150 stars:\n"
    "     the frame rate it achieved against the emulated one, and its CPU use;\n"
    "  3. a one-line summary, the last line.\n"
    "\n"
    "  --battery  instead, what playing costs a laptop's battery, each against its floor, side\n"
    "             by side (about a minute, four with --web): the real program in a real X window\n"
    "             (a private Xvfb; needs Xvfb and xdotool) against korvane-bench-floor, a window\n"
    "             that only repaints a viewscreen-sized image once per display frame (measured\n"
    "             before and after the game, averaged): CPU and wake-ups (context switches\n"
    "             of all threads) for 10 s of a game at 150 stars, and 10 s idle after it;\n"
    "  --web DIR  with --battery, also the browser build in DIR (built by web/build.sh) in\n"
    "             Chromium with its window on a private Xvfb (headless where there is none)\n"
    "             against a page that redraws a viewscreen-sized canvas from an image buffer once\n"
    "             per display frame: five games with the sound on and five with the game's\n"
    "             sound switch off, each between two floors, the medians of their ratios;\n"
    "             the CPU of all of Chromium's processes, their wake-ups (voluntary context\n"
    "             switches of all threads) and the game's pace (about five more minutes;\n"
    "             needs chromium, node and puppeteer-core installed by\n"
    "             'npm install' in tests/web)\n"
    "  --hall     instead, korvane-hall under load (about 8 minutes), with SQLite and then\n"
    "             with a PostgreSQL 15 of its own (skipped where it is not installed): 1000\n"
    "             fresh tickets answered with one-minute games (12,000 frames at 150 stars)\n"
    "             from 16 clients: verified games a second, a submission's p50 and p99, and\n"
    "             GET /api/scores?limit=100 meanwhile; live play: one game played live at its\n"
    "             pace (20 s, a batch every 0.25 s) watched by 1,000 event streams read by one\n"
    "             thread: the delay from a batch's send to each watcher, p50 and p99; then\n"
    "             50, 200, 500, 1,000, 1,500 and 2,000 such games at once (a batch every\n"
    "             0.5 s, as the clients send them) until one is refused or a batch's answer\n"
    "             takes 250 ms or more at p99: the most games, and the hall's RSS per game;\n"
    "             then with\n"
    "             1,000,000 scores stored, GET /api/scores?limit=100 and GET / from 8\n"
    "             clients: a second, p50, p99\n"
    "  --only-live  with --hall, live play's measures alone (about 6 minutes)\n"
    "  --help     show this help and exit\n";

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
    bool battery = false;
    bool hall = false;
    bool onlyLive = false;
    const char* webDir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            help = true;
            continue;
        }
        if (std::strcmp(argv[i], "--battery") == 0) {
            battery = true;
            continue;
        }
        if (std::strcmp(argv[i], "--hall") == 0 || std::strcmp(argv[i], "--only-live") == 0) {
            (argv[i][2] == 'h' ? hall : onlyLive) = true;
            continue;
        }
        if (std::strcmp(argv[i], "--web") == 0) {
            if (i + 1 == argc) {
                std::fprintf(stderr, "korvane-bench: --web needs a folder\n%s", kUsage);
                return 2;
            }
            webDir = argv[++i];
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
    if (webDir && !battery) {
        std::fprintf(stderr, "korvane-bench: --web goes with --battery\n%s", kUsage);
        return 2;
    }
    if (onlyLive && !hall) {
        std::fprintf(stderr, "korvane-bench: --only-live goes with --hall\n%s", kUsage);
        return 2;
    }
    if (hall && (battery || webDir)) {
        std::fprintf(stderr, "korvane-bench: --hall goes alone\n%s", kUsage);
        return 2;
    }
    if (hall) {
#ifdef KORVANE_BENCH_HALL
        return korvane::bench::ReportHall("/proc/self/exe", onlyLive);
#else
        std::fprintf(stderr, "korvane-bench: built without korvane-hall: --hall cannot run\n");
        return 1;
#endif
    }
    if (battery) return korvane::bench::ReportBattery(webDir);

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
