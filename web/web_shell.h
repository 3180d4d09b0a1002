#pragma once
// The engine's Shell in the browser. The page (page.js) queues the player's input as lines
// of the recording language (`click cmdStart`, `keyup 32`, `mouseup 1 120 200`, `minimise`)
// and the open dialog's events; the yield takes them from that queue and gives them, nested
// as the desktop's yield does, to the command hub, which runs them and records the session
// as `korvane --record` does; what the lines print goes to the browser's console. Waiting
// hands the thread to the browser (ASYNCIFY), so the page stays live while the game's frame
// loop sits deep inside a click handler.

#include <functional>
#include <string>

#include "command_hub.h"
#include "pacer.h"

namespace korvane {

class Game;

// One of the open dialog's events: the handler it asks for and a number (a scroll value,
// a key's character code).
struct DialogEvent {
    std::string handler;
    int value = 0;
};

class WebShell : public script::CommandHub {
  public:
    WebShell();

    // Set once, right after the game exists; the recording begins.
    void AttachGame(Game& game);

    // Between games: sleep until the player does something, then handle it.
    void WaitForEvents();
    void DispatchPending();

    void DoEvents() override;
    void ShowMessageBox(const std::string& text) override;
    void ShowSettingsDialog(SettingsDialog& dialog) override;
    void ShowOutcomeDialog(OutcomeDialog& dialog) override;
    void ShowAboutBox() override;
    void ShowMainWindow() override;
    void ResetMainWindow() override;
    [[noreturn]] void EndProgram() override;
    void SetPlayControlsEnabled(bool enabled) override;
    void SetText(Readout which, const std::string& text) override;
    void SetTorpedoIndicator(int slot, bool ready) override;
    void FocusViewscreen() override;
    void PlaySound(int soundid, int playflags) override;
    void PresentViewscreen() override;

  private:
    using ModalHandler = std::function<void(const DialogEvent&, bool& close)>;

    ScreenSize RealScreenSize() override;
    uint64_t RealClockSeed() override;
    // A line for the main window, given to the hub.
    void GiveMainWindowLine(const std::string& text);
    // Opens the page's overlay for window, hands its events to handler until it sets close,
    // then takes the overlay down. The main window takes no input meanwhile.
    void RunModal(const std::string& window, const ModalHandler& handler);
    // Lets real time catch up with the emulated time; with handleEvents, the player's
    // events are handled as they come.
    void WaitOutEmulatedTime(bool handleEvents);

    // Watching a game (a hall's, ended or still played) at the game's own pace, as
    // `korvane --replay` does: each line runs in the yield it was recorded in, the player's
    // input is not taken, and each dialog closes by itself after a pause so that the viewer
    // sees it. A live game's lines come in batches, each ending with `# frame F`, the frames
    // its player had played: a frame runs only once its lines are all here, and while the
    // game is more than a batch behind, it runs without the pacer's waits, the pauses and
    // the sounds.
    void Watch();
    // Takes a watched recording's lines, or a live game's batch; false for lines that cannot
    // be read, which are reported.
    bool TakeWatchedLines(const std::string& text);
    bool CatchingUp() const { return frame() < catchUpTo_; }

    // The window whose overlay is open, empty when the main window has the input.
    std::string modalWindow_;
    ModalHandler modalHandler_;
    bool modalClose_ = false;
    Pacer pacer_;
    double lastBrowserTurn_ = 0.0;
    // A watched game: more lines may come; the last frame whose lines are all here; the
    // batch before's, which a game behind catches up to at full speed.
    bool liveOpen_ = false;
    int64_t watchedReach_ = 0;
    int64_t catchUpTo_ = 0;
};

}  // namespace korvane
