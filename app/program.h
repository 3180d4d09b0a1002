#pragma once
// The whole desktop program in one object: the main window, its Shell and the game, wired
// together. main() runs one; the widget tests build their own the same way.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "game.h"
#include "main_window_view.h"
#include "qt_shell.h"
#include "script.h"
#include "system_close.h"

namespace korvane {

// Key preview: the main window sees every key release before the control with the focus,
// so the game's keys work whatever has the focus; and no button of the main window is ever
// pressed by the space bar or Enter. While a recording is replayed the player's input is
// kept from every window, and Q or a dialog's close box ends the replay (endReplay).
class KeyPreview : public QObject {
  public:
    using KeyUp = std::function<void(int virtualKey)>;
    KeyPreview(MainWindow& window, KeyUp keyUp) : window_(window), keyUp_(std::move(keyUp)) {}
    std::function<void()> endReplay;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool FilterReplay(QObject* watched, QEvent* event);

    MainWindow& window_;
    KeyUp keyUp_;
};

class Program {
  public:
    Program();
    ~Program();

    MainWindow& window() { return window_; }
    QtShell& shell() { return shell_; }
    Game& game() { return game_; }

    // A key released in the main window, as the window hands it to the game (a gamepad
    // gives its keys here too).
    void KeyUp(int virtualKey);

    // korvane --replay: the recording's lines played in the window at the game's own pace,
    // each where korvane-sim runs it, beginning after a pause; the player's input is ignored.
    void Replay(std::vector<script::ScriptLine> lines);

  private:
    void ConnectButtons();
    // The lines between games, one after the other, each as the game's outermost task; the
    // next goes on when it has ended, after a pause when it played frames.
    void RunReplayIdleLines();
    void AfterIdleLine(int64_t framesBefore);

    MainWindow window_;
    QtShell shell_;
    Game game_;
    KeyPreview keyPreview_;
    SystemClose systemClose_;
};

}  // namespace korvane
