#pragma once
// One line of the recording language run on the game: the one dispatcher behind every front
// end. korvane-sim's scripted run, the window's replay of a recording and the browser page
// (whose player's input arrives as these very lines) all run them here. What a line does to
// a window (a click, minimising, closing, printing an answer) goes through the few hooks
// below, which a front end with a real window overrides.

#include <cstdint>
#include <optional>
#include <string>

#include "buttons.h"
#include "game.h"
#include "script.h"

namespace korvane::script {

class CommandRunner {
  public:
    virtual ~CommandRunner() = default;

    void AttachGame(Game& game) { game_ = &game; }

    // Runs one line as ParseScript reads it (command and arguments already checked).
    void Run(const ScriptLine& line);
    // One line of text given live (by the browser page): read and checked, or reported in
    // one line and nothing, for a bad line, a blank one, several, or an `at` (which only a
    // recording's replay can keep).
    std::optional<ScriptLine> ReadLine(const std::string& text);

    // The answers given for the dialogs (stars, default-stars, harder) and for the starts
    // (seed, screensize), kept until they are used.
    enum class StarsAnswer { None, Count, Default };
    StarsAnswer starsAnswer() const { return starsAnswer_; }
    int starsCount() const { return starsCount_; }
    // Gives the settings dialog its answer, if any, as the player would.
    void AnswerSettingsDialog(SettingsDialog& dialog) const;
    // Whether the next victory dialog is to make the game harder; the answer is used up.
    bool TakeHarder();
    std::optional<uint64_t> seed() const { return seed_; }
    std::optional<ScreenSize> screen() const { return screen_; }

  protected:
    Game& game() { return *game_; }

    // A click on a main window's button as the window takes it: a disabled play control
    // ignores it.
    virtual void ClickButton(const ButtonInfo& button);
    virtual void SetMinimised(bool minimised) { minimised_ = minimised; }
    // The main window's close box.
    virtual void CloseMainWindow();
    // The answers of print, dump and pixel (`var NAME VALUE`, `pixel X Y 0x00BBGGRR`), on
    // standard output after the frame's number.
    virtual void Print(const std::string& text);
    // An expect line found the game other than it says: what = "NAME expected V got A".
    // Reported, and the run goes on.
    virtual void ExpectFailed(const ScriptLine& line, const std::string& what);
    // A line that cannot run as asked (a bad line, a screen file that cannot be written),
    // one line on standard error ("korvane: " and the message).
    virtual void Report(const std::string& message);

    // The frames' yields so far, counted from the first, across games.
    int64_t frame_ = 0;
    // The main window as a window without a toolkit keeps it; the default hooks use it.
    bool minimised_ = false;
    bool playControlsEnabled_ = false;

  private:
    void WriteScreen(const ScriptLine& line);

    Game* game_ = nullptr;
    StarsAnswer starsAnswer_ = StarsAnswer::None;
    int starsCount_ = 0;
    bool harder_ = false;
    std::optional<uint64_t> seed_;
    std::optional<ScreenSize> screen_;
};

}  // namespace korvane::script
