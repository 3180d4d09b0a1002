#pragma once
// The scripted stand-in for the window system: it answers the engine as a desktop would,
// runs the script's lines through the command hub and logs what a player would see and hear.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_hub.h"
#include "game.h"
#include "script.h"
#include "shell.h"

namespace korvane::script {

struct RunOptions {
    uint64_t seed = 1;
    ScreenSize screen{1024, 768};
    int64_t maxFrames = 100000;
    // The most CPU time the run's thread may take, in seconds; 0 for no limit. A server
    // replaying strangers' recordings stops one that would take its thread for long.
    double maxCpuSeconds = 0;
    // Where the run is recorded, as `korvane --record` records a game; empty for nowhere.
    std::string recordPath;
};

// Called before every frame's yield and after every game, for checks that watch a whole
// run (the random soak): the game and whether the play controls are enabled.
using FrameObserver = std::function<void(const Game&, bool playControlsEnabled)>;

// How a run stopped: its lines used up, the program ended, a limit, or an expect line found
// a variable other than the script says (the desync line is logged). A run that stops early
// stops where it stands: the game is never resumed.
enum class RunStop { Ended, Exited, FrameLimit, CpuLimit, Desync };

// The CPU time this thread has used, in seconds: what a replay's CPU budget counts.
double ThreadCpuSeconds();

class ScriptedShell : public CommandHub {
  public:
    // Messages about the run that do not stop it (a screen file that cannot be written) go
    // to warnings, one line each.
    ScriptedShell(std::vector<ScriptLine> lines, RunOptions options, std::string& log,
                  std::string& warnings);

    void Observe(FrameObserver observer) { observer_ = std::move(observer); }
    // A run that nobody reads (the soak) keeps no log.
    void DiscardLog() { keepLog_ = false; }

    // Runs the idle lines in order; returns when the script is used up or the run stopped.
    void RunIdleLines();
    // Ended while it runs; how it stopped after.
    RunStop stop() const { return stop_; }

    // The failed expect line as "line L: frame F: desync NAME expected V got A".
    const std::string& desync() const { return desync_; }

    // Shell
    Task DoEvents() override;
    Task ShowDialog(Dialog& dialog) override;
    void Show(const WindowChange& change) override;
    Task EndProgram() override;
    void PlaySound(int soundid, int playflags) override;

    // CommandHub
    void Print(const std::string& text) override { Log(text); }
    void ExpectFailed(const ScriptLine& line, const std::string& what) override;
    void CheckLogged(const ScriptLine& line) override;
    void Report(const std::string& message) override;

  protected:
    // The run stops where it stands, for good.
    void Stop(RunStop why) {
        stop_ = why;
        Halt();
    }

  private:
    // What a read-out shows, logged when it changes.
    void ShowText(Readout which, const std::string& text);
    ScreenSize RealScreenSize() override { return options_.screen; }
    uint64_t RealClockSeed() override { return options_.seed; }

    // The sound switch shows its caption from the window's design until the game sets it.
    void ShowDesignCaption();
    void Log(const std::string& event);

    RunOptions options_;
    std::string& log_;
    std::string& warnings_;
    // What each read-out shows, indexed by Readout; the main window's as it is designed,
    // a dialog's empty.
    std::string shown_[7];
    FrameObserver observer_;
    bool keepLog_ = true;
    std::string desync_;
    double cpuStart_ = 0;  // the thread's CPU time when the run began
    RunStop stop_ = RunStop::Ended;
};

}  // namespace korvane::script
