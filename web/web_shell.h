#pragma once
// The engine's Shell in the browser. The page (page.js) queues the player's input as lines
// of the recording language (`click cmdStart`, `keyup 32`, `mouseup 1 120 200`, `minimise`)
// and the open dialog's events, and gives them to the command hub, which runs them and
// records the session as `korvane --record` does; what the lines print goes to the browser's
// console. The page steps the game: whenever the game waits (for the pace, in a dialog, for
// a flash or a sound) it suspends and asks the page to wake it (page::Sleep); the page's
// display frame, timer or event then calls Step, which goes on with the game where it waits.

#include <cstdint>
#include <memory>
#include <string>

#include "command_hub.h"
#include "game.h"
#include "pacer.h"

namespace korvane {

// One of the open dialog's events: the handler it asks for and a number (a scroll value,
// a key's character code).
struct DialogEvent {
    std::string handler;
    int value = 0;
};

class WebShell : public script::CommandHub {
  public:
    WebShell();
    ~WebShell() override;

    // Set once, right after the game exists; the recording begins.
    void AttachGame(Game& game);

    // The page's one way into the game, from its own turn of the event loop (never from
    // inside a call of the game's): a wait asked for is over, or an event has come. The
    // waiting game goes on until it waits again; between games the events are handled, each
    // as the game's outermost task, until one waits or none is left; then the page is asked
    // to call again when the next event comes.
    void Step();

    Task DoEvents() override;
    Task ShowDialog(Dialog& dialog) override;
    void Show(const WindowChange& change) override;
    Task EndProgram() override;
    void PlaySound(int soundid, int playflags) override;
    Task HoldFor(Hold what) override;

    // A watched game played again from its start, in a program made afresh, without waiting
    // or drawing until its emulated time reaches `micros`: the way back in a watched game.
    void WatchAgain(double micros);

  protected:
    Task HandleEvents() override;

  private:
    ScreenSize RealScreenSize() override;
    uint64_t RealClockSeed() override;

    // The game waits: the page wakes it (Step) after ms milliseconds (below 0: never by
    // time), or with wakeOnEvent as soon as an event comes; the player's events are
    // handled after it only where the caller takes them (DispatchPending).
    Task Wait(double ms, bool wakeOnEvent);
    // Takes the page's queued events: lines for the main window go to the hub, the open
    // dialog's to its rules, a watched game's lines to the watch. Stops after the event
    // that closes the open dialog.
    void DispatchPending();
    void TakePageEvent(const std::string& window, const std::string& text);
    // A line for the main window, given to the hub.
    void GiveMainWindowLine(const std::string& text);
    // Between games: the queued events, one after the other, until one makes the game wait.
    void RunBetweenGames();

    // A dialog: its window opens on the page, its rules take the events of its controls
    // until it closes, then the window goes. The main window takes no input meanwhile.
    Task RunDialog(Dialog& dialog);
    // One of the open dialog's events, handed to its rules: true when it closes the dialog.
    bool AnswerOpenDialog(const DialogEvent& event);
    // The open dialog's controls as its rules leave them.
    void RefreshDialog();
    // Lets real time catch up with the emulated time; with handleEvents, the player's
    // events are taken as they come.
    Task WaitOutEmulatedTime(bool handleEvents);

    // Watching a game (a hall's, ended or still played) at the game's own pace, as
    // `korvane --replay` does: each line runs in the yield it was recorded in, the player's
    // input is not taken, and each dialog closes by itself after a pause so that the viewer
    // sees it. A live game's lines come in batches, each ending with `# frame F`, the frames
    // its player had played: a frame runs only once its lines are all here, and while the
    // game is more than a batch behind, it runs without the pacer's waits, the pauses and
    // the sounds.
    Task Watch();
    // Takes a watched recording's lines, or a live game's batch; false for lines that cannot
    // be read, which are reported.
    bool TakeWatchedLines(const std::string& text);
    // The viewer's controls of a watched game (watch_bar.js): "pause 0|1", "speed X",
    // "seek MICROS" (forwards: a seek backwards plays the game again, WatchAgain), "follow"
    // (a live game: back to now).
    void TakeWatchControl(const std::string& text);
    // A live game more than a batch behind, followed as it is played, catches up.
    bool CatchingUp() const;
    // The game runs as fast as it can, without waits, drawings, sounds or dialogs' pauses:
    // catching up, or on its way to the time the viewer chose.
    bool Hurrying();
    // The pause in which the viewer sees a dialog, or a game's end, before the game goes on:
    // a second at 1x; none while hurrying.
    Task WatchPause();
    // A watched game paused by the viewer waits here, taking the viewer's controls.
    Task HoldWhilePaused();
    // Notes the score's changes and how far the watched game has come, for the bar.
    void NoteWatchedFrame();

    // The open dialog, null while the main window has the input, and whether the player
    // has closed it.
    Dialog* dialog_ = nullptr;
    std::string dialogWindow_;
    bool dialogClosed_ = false;
    // The game is suspended in Wait, which the next Step ends; the program has ended.
    bool waiting_ = false;
    bool stepping_ = false;
    bool ended_ = false;
    Pacer pacer_;
    double lastBrowserTurn_ = 0.0;
    // Frames have hurried since the pacer last started afresh.
    bool hurried_ = false;
    // The length of the sound started last, which a Hold::Sound waits out.
    double soundMillis_ = 0.0;
};

// The page's program: the shell and its game. A watched game goes back by a program made
// afresh, which plays the same lines again from their start.
class Program {
  public:
    Program();
    ~Program();
    WebShell& shell() { return *shell_; }
    Game& game() { return *game_; }

  private:
    // The shell's tasks run in the game: they go first.
    std::unique_ptr<WebShell> shell_;
    std::unique_ptr<Game> game_;
};

// The page's one program, made at the start (main) and again for each way back.
Program& TheProgram();

}  // namespace korvane
