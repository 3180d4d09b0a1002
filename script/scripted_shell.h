#pragma once
// The scripted stand-in for the window system: it answers the engine as a desktop would,
// runs the script's lines in the frames' yields and logs what a player would see and hear.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game.h"
#include "script.h"
#include "shell.h"

namespace korvane::script {

struct RunOptions {
    uint64_t seed = 1;
    ScreenSize screen{1024, 768};
    int64_t maxFrames = 100000;
};

// Called before every frame's yield and after every game, for checks that watch a whole
// run (the random soak): the game and whether the play controls are enabled.
using FrameObserver = std::function<void(const Game&, bool playControlsEnabled)>;

// Thrown to leave the run from wherever it stands.
struct ProgramEnded {};
struct FrameLimitReached {};
// An expect line found a variable other than the script says; the desync line is logged.
struct Desynced {};

class ScriptedShell : public Shell {
  public:
    // Messages about the run that do not stop it (a screen file that cannot be written) go
    // to warnings, one line each.
    ScriptedShell(std::vector<ScriptLine> lines, RunOptions options, std::string& log,
                  std::string& warnings);

    void Attach(Game& game) { game_ = &game; }
    void Observe(FrameObserver observer) { observer_ = std::move(observer); }
    // A run that nobody reads (the soak) keeps no log.
    void DiscardLog() { keepLog_ = false; }

    // Runs the idle lines in order; returns when the script is used up.
    void RunIdleLines();

    int64_t frame() const { return frame_; }

    // Shell
    void DoEvents() override;
    bool IsMainWindowMinimised() override { return minimised_; }
    ScreenSize ScreenSizeInPixels() override { return options_.screen; }
    void ShowMessageBox(const std::string& text) override;
    void ShowSettingsDialog(StartDialog& dialog) override;
    void ShowOutcomeDialog(OutcomeDialog& dialog) override;
    void ShowAboutBox() override;
    void ShowMainWindow() override {}
    void ResetMainWindow() override;
    [[noreturn]] void EndProgram() override;
    void SetPlayControlsEnabled(bool enabled) override;
    void SetText(Readout which, const std::string& text) override;
    void RefreshReadout(Readout) override {}
    void SetTorpedoIndicator(int slot, bool ready) override;
    void FocusViewscreen() override {}
    void PlaySound(int soundid, int playflags) override;
    void PresentViewscreen() override {}
    void ViewscreenCleared() override;
    uint64_t ClockSeed() override { return options_.seed; }

  private:
    void RunLine(const ScriptLine& line);
    // The sound switch shows its caption from the window's design until the game sets it.
    void ShowDesignCaption();
    void Click(const std::string& name);
    void Log(const std::string& event);
    void WriteScreen(const ScriptLine& line);
    void Expect(const ScriptLine& line);
    void CheckLogged(const ScriptLine& line);

    std::vector<ScriptLine> lines_;
    size_t next_ = 0;
    RunOptions options_;
    std::string& log_;
    std::string& warnings_;
    // What each read-out shows, indexed by Readout; the main window's as it is designed,
    // a dialog's empty.
    std::string shown_[7];
    Game* game_ = nullptr;
    int64_t frame_ = 0;
    FrameObserver observer_;
    bool keepLog_ = true;
    bool minimised_ = false;
    bool playControlsEnabled_ = false;
    enum class StarsAnswer { None, Count, Default } starsAnswer_ = StarsAnswer::None;
    int starsCount_ = 0;
    bool harder_ = false;
};

}  // namespace korvane::script
