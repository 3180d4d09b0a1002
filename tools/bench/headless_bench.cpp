#include "headless_bench.h"

#include <chrono>

#include "game.h"
#include "settings_dialog_rules.h"

namespace korvane::bench {

namespace {

// A window system that answers at once and keeps the game ordinary: the cube keeps moving
// in mid-screen and no attack or ending interrupts the measured frames.
class OrdinaryPlayShell : public Shell {
  public:
    OrdinaryPlayShell(int stars, int64_t frames) : stars_(stars), frames_(frames) {}
    void Attach(Game& game) { game_ = &game; }

    int64_t framesRun = 0;
    double emulatedAtFirstFrame = 0;

    Task DoEvents() override {
        GameState& s = game_->state();
        if (framesRun == 0) emulatedAtFirstFrame = game_->surface().EmulatedMicros();
        ++framesRun;
        s.antimatter = false;
        s.supervessik = false;
        s.vessikshootsshields = false;
        if (s.cubey >= 300) s.cubey = 10;
        if (framesRun > frames_) s.gamerunning = false;
        return {};
    }
    bool IsMainWindowMinimised() override { return false; }
    ScreenSize ScreenSizeInPixels() override { return {1024, 768}; }
    Task ShowDialog(Dialog& dialog) override {
        if (dialog.rules) dialog.rules->Form_Load();
        if (auto* settings = dynamic_cast<SettingsDialog*>(dialog.rules))
            settings->SetScrollValue(static_cast<int16_t>(stars_));
        return {};
    }
    Task EndProgram() override { return {}; }
    uint64_t ClockSeed() override { return 42; }

  private:
    Game* game_ = nullptr;
    int stars_;
    int64_t frames_;
};

}  // namespace

HeadlessResult MeasureOrdinaryPlay(int stars, int64_t frames) {
    OrdinaryPlayShell shell(stars, frames);
    Game game(shell);
    shell.Attach(game);
    game.Main();
    game.state().soundon = false;

    const auto start = std::chrono::steady_clock::now();
    // Nothing here waits: the whole game runs in this one start.
    game.cmdStart_Click().Start();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The last pass ends the game; the frames measured are the ordinary ones before it.
    const double emulated = game.surface().EmulatedMicros() - shell.emulatedAtFirstFrame;

    HeadlessResult r;
    r.stars = stars;
    r.frames = frames;
    r.flatOutFramesPerSecond = static_cast<double>(frames) / seconds;
    r.emulatedFramesPerSecond = static_cast<double>(frames) / (emulated / 1e6);

    Surface flash;
    flash.FillStyle(kFillSolid);
    flash.FillColor(kRed);
    const double before = flash.EmulatedMicros();
    for (int i = 1; i <= 3 * stars; ++i) flash.Circle(326, 466, 30, kRed);
    r.flashSeconds = (flash.EmulatedMicros() - before) / 1e6;
    return r;
}

}  // namespace korvane::bench
