#pragma once
// korvane --replay FILE: a recording (any korvane-sim script) played in the window at the
// game's own pace. Each line runs where korvane-sim runs it; the dialogs are answered as
// recorded and closed after a short pause so that the viewer sees them. The player's own
// input is ignored; closing the window or Q ends the replay.

#include <QObject>
#include <string>
#include <vector>

#include "program.h"
#include "script.h"
#include "shell_tap.h"

class QDialog;

namespace korvane {

class Replayer : public QObject, public ShellTap {
  public:
    Replayer(Program& program, std::vector<script::ScriptLine> lines);
    ~Replayer() override;

    // Runs the script's lines from the program's event loop, beginning after a pause.
    void Begin();

    // ShellTap
    void YieldBegins() override;
    ScreenSize ScreenSeen(ScreenSize) override { return screen_; }
    uint64_t SeedSeen(uint64_t) override { return seed_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The lines between games, one after the other; after a game, a pause first.
    void RunIdleLines();
    void RunLine(const script::ScriptLine& line);
    void Print(const std::string& what);
    void AnswerDialog(QDialog& dialog);
    void End();  // ends the program

    Program& program_;
    std::vector<script::ScriptLine> lines_;
    size_t next_ = 0;
    int64_t frame_ = 0;
    // What the starts see, as in korvane-sim without options.
    uint64_t seed_ = 1;
    ScreenSize screen_{1024, 768};
    int starsAnswer_ = -1;  // -1 none, -2 the default button, else the star count
    bool harder_ = false;
};

}  // namespace korvane
