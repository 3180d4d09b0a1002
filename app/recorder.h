#pragma once
// korvane --record FILE: everything the player does, written as a korvane-sim script while
// the game goes on, so that the session replays frame for frame (korvane-sim FILE) and can
// be watched again (korvane --replay FILE). The writing is the recording language's own
// (script/recording.h); this is the Qt glue that tells it what happens in the windows.
// The hall play (hall_play.h) keeps a copy of the lines and chooses the seed ahead of it.

#include <QObject>
#include <cstdio>
#include <string>

#include "program.h"
#include "recording.h"
#include "shell_tap.h"

namespace korvane {

class Recorder : public QObject, public ShellTap, public CommandTap {
  public:
    // Opens FILE, when given; when it cannot be written, says so once on stderr and writes
    // only to copy, and records nothing without one.
    Recorder(Program& program, const std::string& path, script::Recording::Writer copy = nullptr);
    ~Recorder() override;

    // CommandTap
    void Before(const std::string& command) override { recording_.CommandBegins(command); }
    void After() override { recording_.CommandEnds(); }
    // ShellTap
    void YieldBegins() override { recording_.YieldBegins(); }
    void YieldEnds() override { recording_.YieldEnds(); }
    ScreenSize ScreenSeen(ScreenSize real) override;
    uint64_t SeedSeen(uint64_t clockSeed) override;
    void MainWindowReset() override { recording_.MainWindowReset(); }

    // A tap that sees each start before it is recorded, and may choose its seed and screen.
    void PutAhead(ShellTap* tap) { ahead_ = tap; }
    script::Recording& recording() { return recording_; }

  protected:
    // Minimising and restoring the window, and the answers given in the dialogs.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Write(const std::string& line);

    Program& program_;
    std::string path_;
    std::FILE* file_ = nullptr;
    script::Recording::Writer copy_;
    ShellTap* ahead_ = nullptr;
    script::Recording recording_;
};

}  // namespace korvane
