#pragma once
// The desktop's gamepads playing the game. Each release a pad reports is given to the game
// as its key or button would be: in the main window through the window's own key handler
// or a click on the button (so a recording holds it like any key); in a modal dialog as the
// keys Enter and the arrows, to the control that would get them. Pad releases wait for the
// events before them, as keys do, and none acts while the main window is minimised.

#include <QObject>

#include "gamepad.h"
#include "gamepad_reader.h"

class QWidget;

namespace korvane {

class Program;

class Gamepads : public QObject {
  public:
    explicit Gamepads(Program& program);

    GamepadReader& reader() { return reader_; }

  private:
    void Act(pad::Control control);
    static void ActInDialog(QWidget* dialog, pad::Control control);

    Program& program_;
    GamepadReader reader_;
};

}  // namespace korvane
