#pragma once
// The engine's Shell on the Qt desktop, on the command hub: the paced yield, the dialogs,
// the main window's controls and read-outs, the sounds and the end of the program. The game
// never runs an event loop of its own: wherever it waits (the pace, a dialog, a flash, a
// sound) it is suspended, the one event loop of the program goes on, and a timer of this
// Shell resumes it when the wait is over.

#include <QTimer>
#include <functional>
#include <vector>

#include "command_hub.h"
#include "pacer.h"

class QDialog;

namespace korvane {

class Game;
class MainWindow;

class QtShell : public script::CommandHub {
  public:
    explicit QtShell(MainWindow& window, Pacer::Clock clock = &Pacer::SteadyMicros);
    ~QtShell() override;

    // The game whose surface is shown and paced; set once, right after the game exists.
    void AttachGame(Game& game);

    // Runs at every frame's yield, before its events (a tool's steps at fixed frames).
    void OnYield(std::function<void()> step) { onYield_ = std::move(step); }
    // Runs `then` once no task of the game is under way: at once (from the event loop) when
    // none is, else when the one under way has ended. A replay's next line, a tool's end.
    void WhenSettled(std::function<void()> then);
    // Asked as a dialog the game waits on has closed, with the way to go on: the game goes
    // on when it is called (the hall's answer to the start, after the settings dialog).
    using AfterDialog = std::function<void(const Dialog& dialog, std::function<void()> goOn)>;
    void OnDialogClosed(AfterDialog after) { afterDialog_ = std::move(after); }

    // Whether the player's input waits now (a flash on screen, a sound the game waits for):
    // input that does not come as window events, a pad's, waits too.
    bool HoldsPlayerInput() const { return inputHeld_ > 0; }

    bool IsMainWindowMinimised() override;
    Task ShowDialog(Dialog& dialog) override;
    void Show(const WindowChange& change) override;
    void PlaySound(int soundid, int playflags) override;
    Task HoldFor(Hold what) override;
    Task EndProgram() override;
    // Closes the audio and leaves at once: not one more statement of the running frame runs.
    [[noreturn]] static void EndNow();

    // CommandHub: a replayed line minimises the window itself.
    void SetMinimised(bool minimised) override;

  protected:
    // Shows the viewscreen once per display refresh and waits only when the next frame is
    // due after the next refresh: the frames in between run back to back, each with its
    // own yield, and the program wakes once per refresh rather than once per frame.
    Task HandleEvents() override;

  private:
    ScreenSize RealScreenSize() override;
    uint64_t RealClockSeed() override;
    // The game waits here, the event loop running, for millis (0: one turn of the loop).
    Task Sleep(int millis);
    // From the event loop: the game goes on from where it waits.
    void ResumeGame();
    // Shows a dialog modally and waits for it to finish; while a recording is replayed it
    // closes by itself after a pause, so that the viewer sees it.
    Task RunModal(QDialog& dialog, const Dialog& what);
    // Waits for the sound just started to be heard to its end.
    Task WaitForSound();
    // The display's refresh period, from the screen the window is on.
    double RefreshMicros() const;
    // Asks for a repaint of the viewscreen at the next display refresh, once however often
    // it is asked in between.
    void ScheduleViewscreenRepaint();
    // The widget that shows a read-out now, if any.
    QWidget* ReadoutWidget(Readout which) const;
    void ShowMainWindowNow();
    void ResetMainWindowNow();
    void SetReadoutText(Readout which, const std::string& text);

    MainWindow& window_;
    Pacer::Clock clock_;
    Pacer pacer_;
    double lastRepaint_ = 0.0;  // when the frames last asked for the viewscreen's repaint
    QTimer repaintTimer_;
    QTimer resumeTimer_;  // ends the game's wait, from the event loop
    std::function<void()> onYield_;
    std::vector<std::function<void()>> settled_;
    AfterDialog afterDialog_;
    bool audioTried_ = false;  // the device is opened, or found missing, once
    int inputHeld_ = 0;        // waits that leave the player's input for later
    // The sound the game waits for: its length, and which one it is (an end reported for
    // an earlier one is not this one's).
    int64_t soundMicros_ = 0;
    uint64_t soundNumber_ = 0;
    uint64_t soundWaited_ = 0;  // the sound whose end the game waits for now, if any
};

}  // namespace korvane
