#pragma once
// The desktop's gamepads, read through SDL's game controllers (which give any known pad the
// standard layout) and reported as the pad controls released, one at a time.
//
// Quiet while no pad is attached: no timer runs, and the reader only wakes when the system's
// input devices change (a watch on /dev/input), then looks for a new pad for a few seconds.
// With a pad attached it polls about sixty times a second. Without SDL's game controllers, or
// without /dev/input, it does as much as it can and says nothing.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

#include "gamepad.h"

struct _SDL_GameController;

namespace korvane {

class GamepadReader : public QObject {
  public:
    using Released = std::function<void(pad::Control)>;
    explicit GamepadReader(Released released);
    ~GamepadReader() override;

    // Something may have been plugged in: look for pads now, and for a while.
    void Look();

    int padCount() const { return static_cast<int>(pads_.size()); }
    bool polling() const { return pollTimer_.isActive(); }

  private:
    struct Pad {
        _SDL_GameController* controller;
        pad::PadState state;
    };

    void Poll();
    void OpenPad(int deviceIndex);
    void ClosePad(int instanceId);
    // The pad of that id while it is still plugged in, or null.
    Pad* Attached(int instanceId);
    void Report(std::optional<pad::Control> released);

    Released released_;
    bool started_ = false;  // SDL's game controllers are running
    std::map<int, Pad> pads_;
    QTimer pollTimer_;
    QFileSystemWatcher devices_;
    int lookPolls_ = 0;  // polls left to wait for a pad that is being plugged in
};

}  // namespace korvane
