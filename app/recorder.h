#pragma once
// korvane --record FILE: everything the player does, written as a korvane-sim script while
// the game goes on, so that the session replays frame for frame (korvane-sim FILE) and can
// be watched again (korvane --replay FILE).

#include <QObject>
#include <cstdio>
#include <string>

#include "program.h"
#include "shell_tap.h"

namespace korvane {

class Recorder : public QObject, public ShellTap, public CommandTap {
  public:
    // Opens FILE; when it cannot be written, says so once on stderr and records nothing.
    Recorder(Program& program, const std::string& path);
    ~Recorder() override;

    // CommandTap
    void Before(const std::string& command) override;
    void After() override;
    // ShellTap
    void YieldBegins() override;
    void YieldEnds() override { --inYield_; }
    ScreenSize ScreenSeen(ScreenSize real) override;
    uint64_t SeedSeen(uint64_t clockSeed) override;
    void MainWindowReset() override { minimised_ = false; }

  protected:
    // Minimising and restoring the window, and the answers given in the dialogs.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // "at F " while a game's frame loop runs, nothing between games.
    std::string Prefix();
    void Write(const std::string& line);
    void WritePendingClick();
    void WriteExpectations();

    Program& program_;
    std::string path_;
    std::FILE* file_ = nullptr;
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

}  // namespace korvane
