#pragma once
// A session written as it is played, in the recording language: what `korvane --record`
// writes, and the browser build the same way. The front end tells it what happens (the
// player's commands, the frames' yields, what a start sees, the dialogs' answers); it writes
// `seed` and `screensize` before each start, `stars N` / `default-stars` / `harder` for the
// dialogs, idle lines between games, `at F ...` for what frame F's yield handled, and the
// expectations after each game, so that korvane-sim replays the session frame for frame.

#include <cstdint>
#include <functional>
#include <string>

#include "game.h"

namespace korvane::script {

class Recording {
  public:
    using Writer = std::function<void(const std::string& line)>;
    // Every line goes to write as soon as it is known, without its newline.
    Recording(Game& game, Writer write);

    // The player's commands to the main window (click, keyup, mouseup, close), as script
    // lines, just before and after they are handled; they nest inside a start.
    void CommandBegins(const std::string& line);
    void CommandEnds();
    static bool IsPlayerCommand(const std::string& command);

    // Frames are counted from the first yield of the program, across games, as korvane-sim
    // counts them.
    void YieldBegins();
    void YieldEnds() { --inYield_; }

    // What a start sees.
    void ScreenSeen(ScreenSize size);
    void SeedSeen(uint64_t seed);
    // The main window was minimised or restored; a start's reset brings it back.
    void MinimisedChanged(bool minimised);
    void MainWindowReset() { minimised_ = false; }

    // The settings dialog: its scroll bar moved, its restore-default button pressed, closed.
    void StarsMoved() { defaultPressed_ = false; }
    void DefaultStarsPressed() { defaultPressed_ = true; }
    void SettingsClosed();
    // The victory dialog: its make-harder button pressed, closed.
    void HarderPressed() { harderPressed_ = true; }
    void VictoryClosed();

    // Called after each game's expectations are written: the session so far replays it.
    void OnGameRecorded(std::function<void()> handler) { gameRecorded_ = std::move(handler); }

  private:
    // "at F " while a game's frame loop runs, nothing between games.
    std::string Prefix();
    void WritePendingClick();
    void WriteExpectations();

    Game& game_;
    Writer write_;
    std::function<void()> gameRecorded_;
    int64_t frame_ = 0;
    int inYield_ = 0;
    int64_t startFrame_ = 0;    // the frame count when the last game started
    int64_t lastAt_ = 0;        // at lines never go backwards
    std::string pendingClick_;  // a start's click, written after what the start saw
    int commandDepth_ = 0;
    bool idleStart_ = false;       // the outermost command is a start between games
    bool minimised_ = false;       // as a replay will see the window
    ScreenSize screen_{-1, -1};    // the size last written
    bool defaultPressed_ = false;  // the settings dialog's last choice was its default button
    bool harderPressed_ = false;
};

}  // namespace korvane::script
