#pragma once
// korvane --record FILE: everything the player does, written as a korvane-sim script while
// the game goes on, so that the session replays frame for frame (korvane-sim FILE) and can
// be watched again (korvane --replay FILE). The writing is the recording language's own
// (script/recording.h); this is the Qt glue that tells it what happens in the windows.

#include <QObject>
#include <cstdio>
#include <string>

#include "program.h"
#include "recording.h"
#include "shell_tap.h"

namespace korvane {

class Recorder : public QObject, public ShellTap, public CommandTap {
  public:
    // Opens FILE; when it cannot be written, says so once on stderr and records nothing.
    Recorder(Program& program, const std::string& path);
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

  protected:
    // Minimising and restoring the window, and the answers given in the dialogs.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Write(const std::string& line);

    Program& program_;
    std::string path_;
    std::FILE* file_ = nullptr;
    script::Recording recording_;
};

}  // namespace korvane
