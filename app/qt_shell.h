#pragma once
// The engine's Shell on the Qt desktop: the paced yield, the modal dialogs, the main
// window's controls and read-outs, the sounds and the end of the program.

#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "command_hub.h"
#include "pacer.h"

namespace korvane {

class Game;
class MainWindow;

class QtShell : public script::CommandHub {
  public:
    explicit QtShell(MainWindow& window, Pacer::Clock clock = &Pacer::SteadyMicros);

    // The game whose surface is shown and paced; set once, right after the game exists.
    void AttachGame(Game& game);

    // Runs at every frame's yield, before its events (a tool's steps at fixed frames).
    void OnYield(std::function<void()> step) { onYield_ = std::move(step); }

    // Whether the player's input waits now (a flash on screen, a sound the game waits for):
    // input that does not come as window events, a pad's, must wait too.
    bool HoldsPlayerInput() const { return inputHeld_ > 0; }

    void DoEvents() override;
    bool IsMainWindowMinimised() override;
    void ShowMessageBox(const std::string& text) override;
    void ShowSettingsDialog(SettingsDialog& dialog) override;
    void ShowOutcomeDialog(OutcomeDialog& dialog) override;
    void ShowAboutBox() override;
    void ShowMainWindow() override;
    void ResetMainWindow() override;
    [[noreturn]] void EndProgram() override;
    void SetPlayControlsEnabled(bool enabled) override;
    void SetText(Readout which, const std::string& text) override;
    void RefreshReadout(Readout which) override;
    void SetTorpedoIndicator(int slot, bool ready) override;
    void FocusViewscreen() override;
    void PlaySound(int soundid, int playflags) override;
    void PresentViewscreen() override;

    // CommandHub: a replayed line minimises the window itself.
    void SetMinimised(bool minimised) override;

  private:
    ScreenSize RealScreenSize() override;
    uint64_t RealClockSeed() override;
    // Runs a modal window; while a recording is replayed it closes by itself after a pause,
    // so that the viewer sees it.
    void RunModal(const std::function<void()>& exec);
    // Shows the viewscreen once per display refresh and waits only when the next frame is
    // due after the next refresh: the frames in between run back to back, each with its
    // own yield, and the program wakes once per refresh rather than once per frame.
    void WaitForNextBatch();
    // Lets real time catch up with the emulated time, handling the events that flags allow
    // meanwhile.
    void WaitOutEmulatedTime(QEventLoop::ProcessEventsFlags flags);
    // Sleeps until the deadline or the next event, handling the events that flags allow.
    static void SleepHandlingEvents(int millis, QEventLoop::ProcessEventsFlags flags);
    // The display's refresh period, from the screen the window is on.
    double RefreshMicros() const;
    // Asks for a repaint of the viewscreen at the next display refresh, once however often
    // it is asked in between.
    void ScheduleViewscreenRepaint();
    // The widget that shows a read-out now, if any.
    QWidget* ReadoutWidget(Readout which) const;

    MainWindow& window_;
    Pacer::Clock clock_;
    Pacer pacer_;
    double lastRepaint_ = 0.0;  // when the frames last asked for the viewscreen's repaint
    QTimer repaintTimer_;
    std::function<void()> onYield_;
    bool audioTried_ = false;  // the device is opened, or found missing, once
    int inputHeld_ = 0;        // nested waits that leave the player's input for later
};

}  // namespace korvane
