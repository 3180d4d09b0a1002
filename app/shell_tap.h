#pragma once
// A watcher of the Qt Shell, for recording and replaying games: it sees every frame's yield
// and what each game start sees, and may choose the seed and the screen size itself.

#include <cstdint>

#include "shell.h"

namespace korvane {

class ShellTap {
  public:
    virtual ~ShellTap() = default;

    // A frame's yield begins / has handled its events. Frames are counted from the first
    // yield of the program, across games, as korvane-sim counts them.
    virtual void YieldBegins() {}
    virtual void YieldEnds() {}

    // What a start sees; the tap may put its own in place of the real one.
    virtual ScreenSize ScreenSeen(ScreenSize real) { return real; }
    virtual uint64_t SeedSeen(uint64_t clockSeed) { return clockSeed; }

    // The main window is being reset at a game start: it will not be minimised.
    virtual void MainWindowReset() {}
};

}  // namespace korvane
