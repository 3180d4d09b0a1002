#include "battery_report.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "desktop_battery.h"
#include "surface.h"

namespace korvane::bench {

namespace {

constexpr double kSeconds = 10.0;
// The browser's games, each between two floors; the median is reported.
constexpr int kBrowserRuns = 5;

// The folder of this executable, where the build puts korvane and korvane-bench-floor too.
std::string ProgramDir() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The browser measure's answer, key=value pairs on its last line.
std::map<std::string, std::string> RunBrowserBattery(const char* webDir) {
    // The floor page draws a canvas of the viewscreen's size, which it is told.
    const std::string command = "KORVANE_VIEWSCREEN=" + std::to_string(Surface::kWidth) + "x" +
                                std::to_string(Surface::kHeight) + " node " +
                                Quoted(KORVANE_BENCH_SOURCE_DIR "/browser_battery.js") +
                                " " + Quoted(webDir) + " " + std::to_string(kSeconds) + " " +
                                std::to_string(kBrowserRuns) + " 2>/dev/null";
    std::string last;
    if (FILE* out = popen(command.c_str(), "r")) {
        char buffer[1024];
        while (std::fgets(buffer, sizeof buffer, out)) last = buffer;
        pclose(out);
    }
    std::map<std::string, std::string> values;
    std::istringstream pairs(last);
    std::string pair;
    while (pairs >> pair) {
        if (const auto eq = pair.find('='); eq != std::string::npos) {
            values[pair.substr(0, eq)] = pair.substr(eq + 1);
        }
    }
    if (values.empty()) values["problem"] = "node could not run browser_battery.js";
    return values;
}

double Ratio(double game, double floor) {
    return floor > 0 ? game / floor : 0.0;
}

}  // namespace

int ReportBattery(const char* webDir) {
    const DesktopBattery d = MeasureDesktopBattery(ProgramDir(), kSeconds);
    std::printf("Desktop, a real X window (Xvfb), %.0f s each:\n", kSeconds);
    if (!d.measured) {
        std::printf("  not measured: %s\n", d.problem.c_str());
    } else {
        std::printf("  %-44s %10s %12s\n", "", "CPU % core", "wake-ups/s");
        std::printf("  %-44s %10.1f %12.0f\n", "floor window (viewscreen image per frame)",
                    100 * d.floor.cpuShare, d.floor.wakeupsPerSecond);
        std::printf("  %-44s %10.1f %12.0f%s\n", "korvane, playing at 150 stars",
                    100 * d.playing.cpuShare, d.playing.wakeupsPerSecond,
                    d.gameRanThrough ? "" : "  (a dialog ended the game meanwhile)");
        std::printf("  %-44s %10.1f %12.0f\n", "korvane, idle between games", 100 * d.idle.cpuShare,
                    d.idle.wakeupsPerSecond);
        std::printf("  playing against the floor: CPU x%.2f, wake-ups x%.2f\n",
                    Ratio(d.playing.cpuShare, d.floor.cpuShare),
                    Ratio(d.playing.wakeupsPerSecond, d.floor.wakeupsPerSecond));
    }
    std::fflush(stdout);

    double browserRatio = 0;
    double quietRatio = 0;
    std::string fps = "-";
    if (webDir) {
        std::printf("\nBrowser, Chromium in a window, all of its processes, %.0f s each, the median"
                    " of %d games with the sound on and %d with it off, each between two floors:\n",
                    kSeconds, kBrowserRuns, kBrowserRuns);
        const auto b = RunBrowserBattery(webDir);
        const auto value = [&b](const char* key) {
            const auto it = b.find(key);
            return it == b.end() ? 0.0 : std::atof(it->second.c_str());
        };
        const auto text = [&b](const char* key) {
            const auto it = b.find(key);
            return it == b.end() ? std::string("-") : it->second;
        };
        if (const auto p = b.find("problem"); p != b.end()) {
            std::printf("  not measured: %s\n", p->second.c_str());
        } else {
            browserRatio = value("ratio");
            quietRatio = value("quiet_ratio");
            if (const double f = value("game_fps"); f > 0) {
                char shown[32];
                std::snprintf(shown, sizeof shown, "%.1f", f);
                fps = shown;
            }
            std::printf("  %-44s %10s %12s  %s\n", "", "CPU % core", "wake-ups/s",
                        "CPU by process type");
            std::printf("  %-44s %10.1f %12.0f  %s\n", "floor page (viewscreen canvas per frame)",
                        100 * value("floor_cpu"), value("floor_wakeups"),
                        text("floor_by_type").c_str());
            std::printf("  %-44s %10.1f %12.0f  %s%s\n", "game page, playing at 150 stars",
                        100 * value("game_cpu"), value("game_wakeups"),
                        text("game_by_type").c_str(),
                        b.count("ended") ? "  (an attack ended a game meanwhile)" : "");
            std::printf("  %-44s %10.1f %12.0f  %s\n", "game page, the game's sound switch off",
                        100 * value("quiet_cpu"), value("quiet_wakeups"),
                        text("quiet_by_type").c_str());
            std::printf("  playing against the floor: CPU x%.2f (runs: %s), wake-ups x%.2f; the "
                        "game's pace %s frames/s%s\n",
                        browserRatio, text("runs").c_str(),
                        Ratio(value("game_wakeups"), value("floor_wakeups")), fps.c_str(),
                        text("display") == "headless" ? " (headless: no Xvfb)" : "");
            std::printf("  with the sound switch off: CPU x%.2f (runs: %s), wake-ups x%.2f\n",
                        quietRatio, text("quiet_runs").c_str(),
                        Ratio(value("quiet_wakeups"), value("floor_wakeups")));
            std::printf("  most above the floor with the sound on, by thread (points of a core): %s\n",
                        text("above_floor").c_str());
        }
    }
    std::printf(
        "summary: desktop CPU x%.2f wake-ups x%.2f idle %.0f wake-ups/s; browser CPU x%.2f "
        "(sound off x%.2f) at %s frames/s\n",
        Ratio(d.playing.cpuShare, d.floor.cpuShare),
        Ratio(d.playing.wakeupsPerSecond, d.floor.wakeupsPerSecond), d.idle.wakeupsPerSecond,
        browserRatio, quietRatio, fps.c_str());
    return d.measured ? 0 : 1;
}

}  // namespace korvane::bench
