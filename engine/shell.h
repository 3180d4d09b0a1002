#pragma once
// The engine's only way to the window system. The desktop program implements it with Qt,
// the browser build with its page; korvane-sim and the tests with scripted stand-ins. What
// only shows something has a default that shows nothing, for a stand-in without a window.

#include <cstdint>
#include <string>
#include <utility>

#include "task.h"

namespace korvane {

class DialogRules;

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

// A dialog the game opens and waits on: a message box (its text, and OK), or a window of its
// own (window: the name of its description in windows/window_descriptions.cpp), with its
// rules, or none for a window that only OK closes (the About box).
struct Dialog {
    // A window of its own.
    explicit Dialog(const char* name, DialogRules* windowRules = nullptr)
        : window(name), rules(windowRules) {}
    // A message box.
    static Dialog Message(std::string text) {
        Dialog box("");
        box.text = std::move(text);
        return box;
    }
    bool IsMessageBox() const { return *window == '\0'; }

    const char* window;
    DialogRules* rules;
    std::string text;  // a message box's
};

// A change to what the main window shows.
struct WindowChange {
    enum class Kind {
        ShowMainWindow,     // show it (not modal)
        ResetMainWindow,    // back to its design: not minimised, play controls off,
                            // torpedo indicators at their initial value, read-outs empty
        PlayControls,       // enabled or not (on)
        Text,               // a read-out's text (readout, text)
        RefreshReadout,     // redraw a read-out at once rather than at the next yield
        TorpedoIndicator,   // slot 1 to 3 ready or not (on)
        FocusViewscreen,
        ViewscreenCleared,  // the teardown has just cleared the viewscreen
    };
    explicit WindowChange(Kind k, Readout r = Readout::txtScore) : kind(k), readout(r) {}
    Kind kind;
    Readout readout;
    std::string text;
    int slot = 0;
    bool on = false;
};

// What the game holds on screen before it goes on, the player's input waiting meanwhile.
enum class Hold {
    Picture,  // the viewscreen as it stands now, for its emulated time (a flash, before a dialog)
    Sound,    // the sound just started with kSoundWaitsForEnd, to its end
};

// Every entry that may make the game wait is a Task: a front end that waits (for the pace,
// for the player's answer, for a sound) suspends it there and resumes it later; a stand-in
// that does not returns at once.
class Shell {
  public:
    virtual ~Shell() = default;

    // The frame loop's yield: the player's pending commands run in it, nested, between two
    // frames, and may start or stop a game.
    virtual Task DoEvents() = 0;

    virtual bool IsMainWindowMinimised() = 0;
    virtual ScreenSize ScreenSizeInPixels() = 0;
    // Seed for the random generator at every game start.
    virtual uint64_t ClockSeed() = 0;
    // The player chose something in a window (see Choice); a recording keeps it.
    virtual void PlayerChose(Choice) {}

    // Shows a modal dialog; ends when the player has closed it. The Shell calls the rules'
    // Form_Load itself, as a window's load runs when it is shown.
    virtual Task ShowDialog(Dialog& dialog) = 0;
    virtual void Show(const WindowChange& /*change*/) {}

    // A SoundId, and a SoundWait: whether the game goes on at once or holds for its end
    // (Hold::Sound).
    virtual void PlaySound(int /*soundid*/, int /*playflags*/) {}
    virtual Task HoldScreen(Hold /*what*/) { return {}; }

    // Ends the program: nothing of the running frame runs after it; the game is never
    // resumed.
    virtual Task EndProgram() = 0;

    // --- The window changes by name -------------------------------------------------------
    void ShowMainWindow() { Show(WindowChange(WindowChange::Kind::ShowMainWindow)); }
    void ResetMainWindow() { Show(WindowChange(WindowChange::Kind::ResetMainWindow)); }
    void SetPlayControlsEnabled(bool enabled) {
        WindowChange change(WindowChange::Kind::PlayControls);
        change.on = enabled;
        Show(change);
    }
    void SetText(Readout which, const std::string& text) {
        WindowChange change(WindowChange::Kind::Text, which);
        change.text = text;
        Show(change);
    }
    void RefreshReadout(Readout which) {
        Show(WindowChange(WindowChange::Kind::RefreshReadout, which));
    }
    void SetTorpedoIndicator(int slot, bool ready) {
        WindowChange change(WindowChange::Kind::TorpedoIndicator);
        change.slot = slot;
        change.on = ready;
        Show(change);
    }
    void FocusViewscreen() { Show(WindowChange(WindowChange::Kind::FocusViewscreen)); }
    void ViewscreenCleared() { Show(WindowChange(WindowChange::Kind::ViewscreenCleared)); }
};

}  // namespace korvane
