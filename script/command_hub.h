#pragma once
// The command hub: the one road by which every front end drives the game. It is the Shell's
// common part: a front end (korvane-sim's scripted run, the desktop window, the browser page)
// is a Shell built on it. The hub runs the recording language's commands (command_table.h),
// given live by the player or read from a script or a recording; counts the frames' yields;
// runs a script's lines in the yields they are due in; answers the dialogs and the starts as
// a script says; and records a session as a script, from what the player gives and what the
// windows' rules report the player chose (Shell::PlayerChose). So a recording of the same
// inputs is the same text whichever front end made it, and replays in every one of them.
//
// The hub also steps the game for its front end. What the player gives between games runs
// at once, as the game's outermost task; while that task waits (at a frame's yield, in a
// dialog, for a flash), what the player gives is kept for the next yield, where it runs
// nested in the game as the old program's event handling did. The front end resumes the
// waiting game (Resume) when its wait is over: the pace's time has come, the dialog has
// closed, the next batch of a live game has arrived.

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "buttons.h"
#include "command_table.h"
#include "game.h"
#include "script.h"
#include "settings_dialog_rules.h"
#include "shell.h"

namespace korvane::script {

class CommandHub : public Shell {
  public:
    using Writer = std::function<void(const std::string& line)>;

    ~CommandHub() override;

    void AttachGame(Game& game) { game_ = &game; }
    Game& game() { return *game_; }

    // --- The player's input, live ---------------------------------------------------------
    // A command the player gives (a click, a key, the mouse, the close box, the window
    // minimised or restored): let through by the gate, recorded as its row says, and run:
    // at once between games, else in the yield the waiting game goes on with.
    void Give(const ScriptLine& line);
    // A line of text (the page's): read and checked, or reported and dropped for a bad line,
    // a blank one, several, or an `at` (which only a recording's replay can keep).
    std::optional<ScriptLine> ReadLine(const std::string& text);
    // Asked before each command given; one it answers false to is not handled at all.
    void SetGate(std::function<bool(const ScriptLine&)> gate) { gate_ = std::move(gate); }

    // --- A script's or a recording's lines ---------------------------------------------------
    // Runs one line as a script's (unrecorded).
    Task Run(const ScriptLine& line);
    // The lines to run, each given as the player's would be (and so recorded alike): `at`
    // lines in the yields they are due in, idle lines by RunNextIdleLine. With them the starts
    // see the stand-ins (RealScreenSize, RealClockSeed) unless a line says otherwise.
    void Load(std::vector<ScriptLine> lines);
    // More lines after those loaded, as a game watched while it is played sends them.
    void Append(const std::vector<ScriptLine>& lines);
    // Whether a line is left to run as an idle line, and running it as the player's.
    bool HasIdleLine() const { return next_ < lines_.size(); }
    Task RunNextIdleLine();
    // The line number of the first check (expect, logged) not yet run, if any.
    std::optional<int> FirstUnreadCheck() const;

    // --- Stepping the game -------------------------------------------------------------------
    // Runs a task as the game's outermost one, until it first waits or ends.
    void Begin(Task task);
    // The front end's wait is over: the game goes on until it waits again or ends. Then
    // what the player gave meanwhile, if the game has ended, runs as the next.
    void Resume();
    // Whether a game (or a dialog between games) is under way, waiting or not.
    bool Running() const { return outermost_.has_value(); }
    // Whether the game has stopped for good (the program ended, a script's limit or
    // desync): it is never resumed.
    bool Halted() const { return halted_; }

    // --- Frames ----------------------------------------------------------------------------
    // A frame's yield: counts it, runs the lines due in it, then the front end's own event
    // handling (HandleEvents), then the player's commands kept for it, which count for this
    // frame.
    Task DoEvents() override { return Yield(); }
    Task Yield();
    // The frames' yields so far, counted from the first, across games.
    int64_t frame() const { return frame_; }
    // The frames all of whose lines are written: not the one whose yield runs now, in which
    // the player's events may still give commands for it, nor one whose phases are still
    // under way (waiting for a flash or a sound to end, or in a dialog): the frame that wins
    // holds its explosions and opens its victory dialog, whose choice of a harder game is
    // written for it as the dialog closes.
    int64_t FramesWritten() const {
        return inYield_ > 0 || framePhases_ || victoryOpen_ ? frame_ - 1 : frame_;
    }
    // Whether the victory holds the game: its explosions, each held to its sound's end, then
    // its dialog. A live game's batch says a dialog holds it (`# dialog`) meanwhile: the
    // frame that won is not all written until the dialog closes.
    bool VictoryHolds() const { return soundsHeld_ > 0 || victoryOpen_; }

    // The game holds the viewscreen (the front end's HoldFor); a sound held to its end is
    // the victory's.
    Task HoldScreen(Hold what) final;

    // --- The recording ---------------------------------------------------------------------
    // Records the session from now on into the file at path (when not empty) and to copy (when
    // given), line by line. A file that cannot be written is reported once.
    void Record(const std::string& path, Writer copy = nullptr);
    void StopRecording();
    // Called after each game's expectations are written: the session so far replays it.
    void OnGameRecorded(std::function<void()> handler) { gameRecorded_ = std::move(handler); }
    // Chooses each start's seed in place of the clock's (the hall's ticket).
    void ChooseSeed(std::function<uint64_t(uint64_t clockSeed)> choose) {
        chooseSeed_ = std::move(choose);
    }

    // --- Shell: the same for every front end ------------------------------------------------
    bool IsMainWindowMinimised() override { return minimised_; }
    ScreenSize ScreenSizeInPixels() final;
    uint64_t ClockSeed() final;
    void PlayerChose(Choice choice) final;

    // --- What the commands do (the table's actions) ------------------------------------------
    // A click on a main window's button as the window takes it: a disabled play control
    // ignores it.
    virtual Task ClickButton(const ButtonInfo& button);
    virtual void SetMinimised(bool minimised);
    // The answers of print, dump and pixel, on standard output after the frame's number.
    virtual void Print(const std::string& text);
    // An expect line found the game other than it says: what = "NAME expected V got A".
    // Reported, and the run goes on.
    virtual void ExpectFailed(const ScriptLine& line, const std::string& what);
    // A check of the log: only a run that keeps one can.
    virtual void CheckLogged(const ScriptLine& line);
    void WriteScreen(const ScriptLine& line);
    // The answers for the dialogs (a star count, or none for the default) and the starts.
    void AnswerStars(std::optional<int> count);
    void AnswerHarder() { harder_ = true; }
    void AnswerSeed(uint64_t seed) { seed_ = seed; }
    void AnswerScreen(ScreenSize screen) { screen_ = screen; }
    // A line that cannot run as asked, one line on standard error ("korvane: " and it).
    virtual void Report(const std::string& message);

  protected:
    // The front end's part of a frame's yield: wait for the pace (suspended, resumed later
    // by Resume), take the system's events. The player's commands given meanwhile run
    // after it.
    virtual Task HandleEvents() { return {}; }
    // The front end's hold of the viewscreen (Shell::HoldScreen).
    virtual Task HoldFor(Hold /*what*/) { return {}; }
    // The front end waits here until it calls Resume.
    Resumer::Suspension Suspend() { return resumer_.Suspend(); }
    // The game stops for good: the lines stop, a waiting game is never resumed.
    void Halt() { halted_ = true; }

    // What a start sees when no line says: the front end's real screen and clock, or while
    // lines are loaded korvane-sim's defaults.
    virtual ScreenSize RealScreenSize() { return {1024, 768}; }
    virtual uint64_t RealClockSeed() { return 1; }
    bool linesLoaded() const { return linesLoaded_; }

    // Gives a dialog the answer the script gave for it, if any, as the player would: the
    // star count to the settings dialog, "harder" to the victory's.
    void AnswerDialog(Dialog& dialog);
    // The main window as it is designed: not minimised, the play controls off.
    void MainWindowReset();

    // The main window as a window without a toolkit keeps it.
    bool minimised_ = false;
    bool playControlsEnabled_ = false;

  private:
    void AnswerSettings(SettingsDialog& dialog);
    void AnswerOutcome(OutcomeDialog& dialog);

    // The gate, the recording and the command: the road of every line given or due.
    Task Take(ScriptLine line);
    // The outermost task has ended: what went wrong in it is thrown here, and what the
    // player gave meanwhile begins.
    void Settle();

    void Write(const std::string& line);
    // "at F " while a game's frame loop runs, nothing between games.
    std::string Prefix();
    void WritePendingClick();
    void WriteExpectations();
    void CommandBegins(const std::string& line);
    void CommandEnds();

    Game* game_ = nullptr;
    std::function<bool(const ScriptLine&)> gate_;
    std::optional<Task> outermost_;
    Resumer resumer_;
    std::deque<ScriptLine> given_;  // the player's, kept for the next yield
    bool halted_ = false;
    int64_t frame_ = 0;
    int inYield_ = 0;
    bool framePhases_ = false;
    int soundsHeld_ = 0;  // a frame's yield has ended and the game has not ended since
    bool victoryOpen_ = false;

    std::vector<ScriptLine> lines_;
    size_t next_ = 0;
    bool linesLoaded_ = false;

    // The answers, kept until they are used.
    enum class StarsAnswer { None, Count, Default } starsAnswer_ = StarsAnswer::None;
    int starsCount_ = 0;
    bool harder_ = false;
    std::optional<uint64_t> seed_;
    std::optional<ScreenSize> screen_;
    std::function<uint64_t(uint64_t)> chooseSeed_;

    // The recording.
    bool recording_ = false;
    std::string path_;
    std::FILE* file_ = nullptr;
    Writer copy_;
    std::function<void()> gameRecorded_;
    int64_t startFrame_ = 0;          // the frame count when the last game started
    int64_t lastAt_ = 0;              // at lines never go backwards
    std::string pendingClick_;        // a start's click, written after what the start saw
    int commandDepth_ = 0;            // commands nest inside a start
    bool idleStart_ = false;          // the outermost command is a start between games
    bool recordedMinimised_ = false;  // as a replay will see the window
    ScreenSize recordedScreen_{-1, -1};
    bool defaultPressed_ = false;  // the settings dialog's last choice was its default button
    bool harderPressed_ = false;
};

}  // namespace korvane::script
