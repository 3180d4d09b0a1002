#pragma once
// The engine's Shell in the browser. The page (page.js) queues the player's clicks, keys
// and mouse releases; the yield takes them from that queue and runs their handlers nested,
// as the desktop's yield does. Waiting hands the thread to the browser (ASYNCIFY), so the
// page stays live while the game's frame loop sits deep inside a click handler.

#include <functional>
#include <string>

#include "pacer.h"
#include "shell.h"

namespace korvane {

class Game;

// One queued event of the page: the window it belongs to, the handler it asks for and up
// to three numbers (a key code, a mouse button and position, a scroll value ...).
struct PageEvent {
    std::string window;
    std::string handler;
    int a = 0;
    int b = 0;
    int c = 0;
};

class WebShell : public Shell {
  public:
    using Handler = std::function<void(const PageEvent&)>;

    WebShell();

    void AttachGame(Game& game) { game_ = &game; }
    // Handles the main window's events: buttons, keys, the viewscreen's mouse.
    void SetMainWindowHandler(Handler handler) { mainHandler_ = std::move(handler); }

    // Between games: sleep until the player does something, then handle it.
    void WaitForEvents();
    void DispatchPending();

    void DoEvents() override;
    bool IsMainWindowMinimised() override;
    ScreenSize ScreenSizeInPixels() override;
    void ShowMessageBox(const std::string& text) override;
    void ShowSettingsDialog(StartDialog& dialog) override;
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
    void ViewscreenCleared() override;
    uint64_t ClockSeed() override;

  private:
    // Opens the page's overlay for window, hands its events to handler until close() is
    // called, then takes the overlay down. The main window takes no input meanwhile.
    void RunModal(const std::string& window,
                  const std::function<void(const PageEvent&, bool& close)>& handler);
    void MarkViewscreenDirty();
    // Lets real time catch up with the emulated time; with handleEvents, the player's
    // events are handled as they come.
    void WaitOutEmulatedTime(bool handleEvents);

    Game* game_ = nullptr;
    Handler mainHandler_;
    // The window whose overlay is open, empty when the main window has the input.
    std::string modalWindow_;
    std::function<void(const PageEvent&, bool&)> modalHandler_;
    bool modalClose_ = false;
    Pacer pacer_;
    double lastBrowserTurn_ = 0.0;
};

}  // namespace korvane
