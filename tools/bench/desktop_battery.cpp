#include "desktop_battery.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "proc_usage.h"

extern char** environ;

namespace korvane::bench {

namespace {

using namespace std::chrono_literals;

// Starts a program with its output thrown away; 0 when it cannot start.
pid_t Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) {
        std::this_thread::sleep_for(100ms);
    }
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = 0;
}

// The first line a shell command prints, without its newline.
std::string FirstLine(const std::string& command) {
    std::string line;
    if (FILE* out = popen(command.c_str(), "r")) {
        char buffer[256];
        if (std::fgets(buffer, sizeof buffer, out)) line = buffer;
        pclose(out);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A visible window captioned exactly `name`, waited for at most `timeout` seconds.
std::string WindowNamed(const std::string& name, int timeout) {
    return FirstLine("timeout " + std::to_string(timeout) +
                     " xdotool search --sync --onlyvisible --name '^" + name + "$' 2>/dev/null");
}

bool DialogOpen() {
    return !FirstLine("xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null").empty();
}

void ClickAt(const std::string& window, int x, int y) {
    Run("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
        " click 1");
}

// A display of our own: the first free number from 90 up, served by the Xvfb we started.
class PrivateDisplay {
  public:
    PrivateDisplay() {
        for (int n = 90; n <= 160 && name_.empty(); ++n) {
            const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0) continue;
            std::string display = ":";
            display += std::to_string(n);
            pid_ = Spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
            if (pid_ == 0) return;
            for (int i = 0; i < 100; ++i) {
                std::this_thread::sleep_for(100ms);
                int owner = 0;
                std::ifstream(lock) >> owner;
                if (owner == pid_ && access(socket.c_str(), F_OK) == 0) {
                    name_ = display;
                    break;
                }
                if (waitpid(pid_, nullptr, WNOHANG) != 0) break;
            }
            if (name_.empty()) Stop(pid_);
        }
    }
    ~PrivateDisplay() { Stop(pid_); }
    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = 0;
    std::string name_;
};

Cost Measure(pid_t pid, double seconds) {
    const ProcessSnapshot before = Snapshot(pid);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const ProcessSnapshot after = Snapshot(pid);
    const double real =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Usage used = Between(before, after);
    return {used.cpuSeconds / real, static_cast<double>(used.switches) / real};
}

std::optional<Cost> MeasureFloor(const std::string& programDir, double seconds) {
    pid_t floor = Spawn({programDir + "/korvane-bench-floor"});
    if (floor == 0 || WindowNamed("korvane-bench-floor", 10).empty()) {
        Stop(floor);
        return std::nullopt;
    }
    std::this_thread::sleep_for(1s);
    const Cost cost = Measure(floor, seconds);
    Stop(floor);
    return cost;
}

// Presses cmdStart, then OK in the settings dialog, which offers the default 150 stars.
bool StartGame(const std::string& main) {
    ClickAt(main, 40, 100);
    const std::string settings = WindowNamed("Korvane", 10);
    if (settings.empty()) return false;
    Run("xdotool windowfocus --sync " + settings);
    Run("xdotool key --clearmodifiers Return");
    for (int i = 0; i < 30; ++i) {
        if (!DialogOpen()) return true;
        std::this_thread::sleep_for(100ms);
    }
    ClickAt(settings, 468, 216);  // Enter went elsewhere: OK with the mouse
    std::this_thread::sleep_for(500ms);
    return !DialogOpen();
}

}  // namespace

DesktopBattery MeasureDesktopBattery(const std::string& programDir, double seconds) {
    DesktopBattery result;
    result.seconds = seconds;
    if (!Run("command -v Xvfb") || !Run("command -v xdotool")) {
        result.problem = "needs Xvfb and xdotool";
        return result;
    }
    PrivateDisplay display;
    if (display.name().empty()) {
        result.problem = "no Xvfb display could be started";
        return result;
    }
    setenv("DISPLAY", display.name().c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    // A sound device that keeps real time, as a machine with a sound card has.
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const std::optional<Cost> floorBefore = MeasureFloor(programDir, seconds);
    if (!floorBefore) {
        result.problem = "korvane-bench-floor did not show its window";
        return result;
    }

    pid_t game = Spawn({programDir + "/korvane"});
    const std::string main = game ? WindowNamed("Korvane ", 10) : std::string();
    if (main.empty() || !StartGame(main)) {
        Stop(game);
        result.problem = "could not start a game in korvane";
        return result;
    }
    std::this_thread::sleep_for(1s);
    result.playing = Measure(game, seconds);
    result.gameRanThrough = !DialogOpen();
    if (result.gameRanThrough) ClickAt(main, 40, 100);  // cmdStart stops the game
    std::this_thread::sleep_for(3s);                    // the stop's sound has ended
    result.idle = Measure(game, seconds);
    Stop(game);
    // The floor before and after the game: a machine whose load drifts meanwhile moves
    // both alike.
    const Cost floorAfter = MeasureFloor(programDir, seconds).value_or(*floorBefore);
    result.floor = {(floorBefore->cpuShare + floorAfter.cpuShare) / 2,
                    (floorBefore->wakeupsPerSecond + floorAfter.wakeupsPerSecond) / 2};
    result.measured = true;
    return result;
}

}  // namespace korvane::bench
