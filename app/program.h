#pragma once
// The whole desktop program in one object: the main window, its Shell and the game, wired
// together. main() runs one; the widget tests build their own the same way.

#include <QObject>
#include <functional>
#include <string>

#include "game.h"
#include "main_window_view.h"
#include "qt_shell.h"
#include "system_close.h"

namespace korvane {

// Key preview: the main window sees every key release before the control with the focus,
// so the game's keys work whatever has the focus; and no button of the main window is ever
// pressed by the space bar or Enter.
class KeyPreview : public QObject {
  public:
    using KeyUp = std::function<void(int virtualKey, int shift)>;
    KeyPreview(MainWindow& window, KeyUp keyUp) : window_(window), keyUp_(std::move(keyUp)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainWindow& window_;
    KeyUp keyUp_;
};

// Sees every command the player gives the main window, written as a korvane-sim script
// line (click cmdStart, keyup 32, mouseup 1 20 30, close), just before and after it is
// handled; for recording games.
class CommandTap {
  public:
    virtual ~CommandTap() = default;
    virtual void Before(const std::string& command) = 0;
    virtual void After() = 0;
};

class Program {
  public:
    Program();
    ~Program();

    MainWindow& window() { return window_; }
    QtShell& shell() { return shell_; }
    Game& game() { return game_; }

    void SetCommandTap(CommandTap* tap) { commandTap_ = tap; }
    // Asked before each command the player gives the main window, written as for the tap:
    // a command it answers false to is not handled at all (the hall play turns the start
    // after a hall game into a fresh program's).
    using CommandGate = std::function<bool(const std::string& command)>;
    void SetCommandGate(CommandGate gate) { commandGate_ = std::move(gate); }

    // A key released in the main window, as the window hands it to the game (a gamepad
    // gives its keys here too).
    void KeyUp(int virtualKey, int shift);

  private:
    void ConnectButtons();
    void Handle(const std::string& command, const std::function<void()>& handler);

    MainWindow window_;
    QtShell shell_;
    Game game_;
    KeyPreview keyPreview_;
    SystemClose systemClose_;
    CommandTap* commandTap_ = nullptr;
    CommandGate commandGate_;
};

}  // namespace korvane
