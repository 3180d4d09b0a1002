#pragma once
// The whole desktop program in one object: the main window, its Shell and the game, wired
// together. main() runs one; the widget tests build their own the same way.

#include <QObject>

#include "game.h"
#include "main_window.h"
#include "qt_shell.h"
#include "system_close.h"

namespace korvane {

// Key preview: the main window sees every key release before the control with the focus,
// so the game's keys work whatever has the focus; and no button of the main window is ever
// pressed by the space bar or Enter.
class KeyPreview : public QObject {
  public:
    KeyPreview(MainWindow& window, Game& game) : window_(window), game_(game) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainWindow& window_;
    Game& game_;
};

class Program {
  public:
    Program();
    ~Program();

    MainWindow& window() { return window_; }
    QtShell& shell() { return shell_; }
    Game& game() { return game_; }

  private:
    void ConnectButtons();

    MainWindow window_;
    QtShell shell_;
    Game game_;
    KeyPreview keyPreview_;
    SystemClose systemClose_;
};

}  // namespace korvane
