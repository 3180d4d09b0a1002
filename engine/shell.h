#pragma once
// The engine's only way to the window system. The desktop program implements it with Qt,
// the browser build with its page; korvane-sim and the tests with scripted stand-ins. What
// only shows something has a default that shows nothing, for a stand-in without a window.

#include <cstdint>
#include <string>

namespace korvane {

class SettingsDialog;
class OutcomeDialog;

// The read-outs and captions whose shown text the game sets.
enum class Readout {
    txtScore,
    txtGameTime,
    txtHighscore,
    cmdSound,         // the sound switch's caption
    Text1,            // the star count in the settings dialog
    txtCurrentScore,  // victory dialog
    txtNextscore,     // victory dialog
};

const char* ReadoutName(Readout r);

// What the player chose in a window, as the windows' own rules see it: the answers a
// recording keeps so that a replay chooses the same.
enum class Choice {
    StarsMoved,      // the settings dialog's scroll bar
    DefaultStars,    // its restore-default button
    SettingsClosed,  // the settings dialog has closed
    Harder,          // the victory dialog's make-harder button
    VictoryClosed,   // the victory dialog has closed
    Minimised,       // the main window
    Restored,
};

struct ScreenSize {
    int32_t width = 0;
    int32_t height = 0;
};

class Shell {
  public:
    virtual ~Shell() = default;

    // The frame loop's yield: handle every pending window event. Handlers of the main
    // window run inside it, nested, and may start or stop a game.
    virtual void DoEvents() = 0;

    virtual bool IsMainWindowMinimised() = 0;
    virtual ScreenSize ScreenSizeInPixels() = 0;

    // Modal message box with an OK button only, captioned with the program's title.
    virtual void ShowMessageBox(const std::string& /*text*/) {}

    // Modal dialogs; each returns when the dialog has been closed.
    virtual void ShowSettingsDialog(SettingsDialog& dialog) = 0;
    virtual void ShowOutcomeDialog(OutcomeDialog& dialog) = 0;
    virtual void ShowAboutBox() {}

    // Show the main window (not modal).
    virtual void ShowMainWindow() {}
    // Put the main window back in its design state: not minimised, play controls
    // disabled, torpedo indicators at their initial value, read-outs empty.
    virtual void ResetMainWindow() {}

    // Ends the program at once: nothing of the running frame runs after it. Never returns.
    [[noreturn]] virtual void EndProgram() = 0;

    virtual void SetPlayControlsEnabled(bool /*enabled*/) {}
    virtual void SetText(Readout /*which*/, const std::string& /*text*/) {}
    // Redraw a read-out at once rather than at the next yield.
    virtual void RefreshReadout(Readout /*which*/) {}
    virtual void SetTorpedoIndicator(int /*slot*/, bool /*ready*/) {}
    virtual void FocusViewscreen() {}

    // A SoundId, and a SoundWait: whether the game goes on at once or waits for the end.
    virtual void PlaySound(int /*soundid*/, int /*playflags*/) {}

    // Show the viewscreen as it stands now (before a flash ends, before a modal dialog).
    virtual void PresentViewscreen() {}
    // The viewscreen has just been cleared at the end of a game.
    virtual void ViewscreenCleared() {}

    // Seed for the random generator at every game start.
    virtual uint64_t ClockSeed() = 0;

    // The player chose something in a window (see Choice); a recording keeps it.
    virtual void PlayerChose(Choice) {}
};

}  // namespace korvane
