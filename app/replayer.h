#pragma once
// korvane --replay FILE: a recording (any korvane-sim script) played in the window at the
// game's own pace. Each line runs where korvane-sim runs it, through the same dispatcher;
// the dialogs are answered as recorded and closed after a short pause so that the viewer
// sees them. The player's own
// input is ignored; closing the window or Q ends the replay.

#include <QObject>
#include <string>
#include <vector>

#include "command_runner.h"
#include "program.h"
#include "script.h"
#include "shell_tap.h"

class QDialog;

namespace korvane {

class Replayer : public QObject, public ShellTap, public script::CommandRunner {
  public:
    Replayer(Program& program, std::vector<script::ScriptLine> lines);
    ~Replayer() override;

    // Runs the script's lines from the program's event loop, beginning after a pause.
    void Begin();

    // ShellTap
    void YieldBegins() override;
    // What the starts see, as in korvane-sim without options.
    ScreenSize ScreenSeen(ScreenSize) override { return screen().value_or(ScreenSize{1024, 768}); }
    uint64_t SeedSeen(uint64_t) override { return seed().value_or(1); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The lines between games, one after the other; after a game, a pause first.
    void RunIdleLines();
    // CommandRunner: through the window's own buttons and frame.
    void ClickButton(const ButtonInfo& button) override;
    void SetMinimised(bool minimised) override;
    void CloseMainWindow() override;
    void AnswerDialog(QDialog& dialog);
    void End();  // ends the program

    Program& program_;
    std::vector<script::ScriptLine> lines_;
    size_t next_ = 0;
};

}  // namespace korvane
