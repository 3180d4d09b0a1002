#include "paced_bench.h"

#include <sys/resource.h>

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <chrono>

#include "program.h"

namespace korvane::bench {

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Frames counted by the game clock, which ticks every frame of a game.
long long ClockFrames(const GameState& s) {
    return static_cast<long long>(s.gametime) * 500 + s.clockframes;
}

}  // namespace

PacedResult MeasurePacedPlay(int stars, double seconds) {
    Program program;
    Game& game = program.game();
    game.Main();
    game.state().soundon = false;
    PacedResult result;

    // The settings dialog opens as the start is clicked: answer it from the event loop.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        answer.stop();
        if (auto* bar = modal->findChild<QScrollBar*>(QStringLiteral("HScroll1"))) {
            bar->setValue(stars);
        }
        if (auto* ok = modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))) ok->click();
    });
    answer.start(5);

    // Keep the game ordinary: the cube moving in mid-screen, no attack, no ending.
    QTimer keepOrdinary;
    QObject::connect(&keepOrdinary, &QTimer::timeout, [&] {
        GameState& s = game.state();
        s.antimatter = false;
        s.supervessik = false;
        s.vessikshootsshields = false;
        if (s.cubey >= 300) s.cubey = 10;
    });
    keepOrdinary.start(20);

    using Clock = std::chrono::steady_clock;
    Clock::time_point start;
    long long startFrames = 0;
    double startEmulated = 0, startCpu = 0;
    QTimer measure;
    measure.setSingleShot(true);
    // A coarse timer may fire 5% early, which would shorten the measured time.
    measure.setTimerType(Qt::PreciseTimer);
    QObject::connect(&measure, &QTimer::timeout, [&] {
        const double real = std::chrono::duration<double>(Clock::now() - start).count();
        const long long frames = ClockFrames(game.state()) - startFrames;
        const double emulated = (game.surface().EmulatedMicros() - startEmulated) / 1e6;
        result.seconds = real;
        result.frames = frames;
        result.achievedFramesPerSecond = static_cast<double>(frames) / real;
        result.emulatedFramesPerSecond = static_cast<double>(frames) / emulated;
        result.cpuShare = (CpuSeconds() - startCpu) / real;
        program.window().findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();  // stop
    });

    // Measuring starts once the game runs, a second in, when its pace has settled.
    QTimer begin;
    begin.setSingleShot(true);
    QObject::connect(&begin, &QTimer::timeout, [&] {
        start = Clock::now();
        startFrames = ClockFrames(game.state());
        startEmulated = game.surface().EmulatedMicros();
        startCpu = CpuSeconds();
        measure.start(static_cast<int>(seconds * 1000));
    });

    QTimer::singleShot(0, [&] {
        begin.start(1000);
        program.window().findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
        // Once the game has ended, leave the event loop without closing the window, whose
        // closing would end the program.
        program.shell().WhenSettled([] { QApplication::exit(0); });
    });
    QApplication::exec();
    return result;
}

}  // namespace korvane::bench
