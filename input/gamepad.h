#pragma once
// The gamepad: which of the game's commands each control of a pad with the standard layout
// stands for, and when a control counts as released. Both front ends read pads their own way
// (the desktop through SDL's game controllers, the browser through its Gamepad API) and hand
// what they read to a PadState; every release it reports is then given to the game as the
// key or the button of the table below, through the same path as that key or button.
//
// Like the keys, a control acts when it is released, once per release. An analog control (a
// trigger, a direction of the left stick) counts as pressed once pushed past kPressAt and as
// released when it comes back below kReleaseAt, so a stick held near the mark does not
// chatter. The left stick is four such controls, one per direction, each acting as its arrow
// key: pushed left and let go is one Left arrow.

#include <array>
#include <optional>

#include "commands.h"

namespace korvane::pad {

// The controls in the standard layout's button order (the order browsers number them in),
// then the left stick's four directions.
enum Control : int {
    kA,  // bottom face button
    kB,  // right face button
    kX,  // left face button
    kY,  // top face button
    kLeftShoulder,
    kRightShoulder,
    kLeftTrigger,
    kRightTrigger,
    kBack,  // also called Select
    kStart,
    kLeftStickPress,
    kRightStickPress,
    kDpadUp,
    kDpadDown,
    kDpadLeft,
    kDpadRight,
    kHome,
    kStickUp,
    kStickDown,
    kStickLeft,
    kStickRight,
    kControlCount
};

// What a control does in the main window: the key (a virtual-key code of the game's key
// table) or, when keyCode is 0, the button of the main window it clicks.
struct PadCommand {
    Control control;
    int keyCode;
    const char* button;
};

inline constexpr std::array<PadCommand, 17> kPadCommands = {{
    {kDpadLeft, keycode::kLeft, nullptr},  // the crosshairs: the arrow keys
    {kDpadUp, keycode::kUp, nullptr},
    {kDpadRight, keycode::kRight, nullptr},
    {kDpadDown, keycode::kDown, nullptr},
    {kStickLeft, keycode::kLeft, nullptr},
    {kStickUp, keycode::kUp, nullptr},
    {kStickRight, keycode::kRight, nullptr},
    {kStickDown, keycode::kDown, nullptr},
    {kLeftShoulder, keycode::kZ, nullptr},   // ship left (Z)
    {kRightShoulder, keycode::kC, nullptr},  // ship right (C)
    {kX, keycode::kX, nullptr},              // stop the ship (X)
    {kA, keycode::kSpace, nullptr},          // photon torpedo (space)
    {kB, keycode::kCtrl, nullptr},           // phasers (Ctrl)
    {kRightTrigger, keycode::kCtrl, nullptr},
    {kY, keycode::kS, nullptr},     // shields (S)
    {kBack, keycode::kH, nullptr},  // hint (H)
    {kStart, 0, "cmdStart"},        // start/stop: a click on the button itself
}};

// The main window's command for a released control; null for a control that has none.
const PadCommand* CommandFor(Control control);

// In a dialog a pad stands for fewer keys: A is Enter (the default button), the left and
// right of the d-pad or stick are the arrow keys (which move the settings dialog's star
// count). The virtual-key code, or 0 for a control a dialog ignores.
inline constexpr int kEnterKey = 13;
int DialogKeyFor(Control control);

// Thresholds of the analog controls, as a fraction of their full travel.
inline constexpr double kPressAt = 0.5;
inline constexpr double kReleaseAt = 0.3;

// Which controls of one pad are down. Fed each change the pad reports, it answers with the
// control that change released, if any.
class PadState {
  public:
    // A button's new position: 0 up to 1 fully down (a digital button gives 0 or 1).
    std::optional<Control> SetButton(Control control, double value);
    // One axis of the left stick (0 across, 1 down), -1 (left, up) to 1 (right, down).
    std::optional<Control> SetStickAxis(int axis, double value);
    // Everything up again without a release: the pad has gone.
    void Forget() { down_ = {}; }

  private:
    std::array<bool, kControlCount> down_{};
};

}  // namespace korvane::pad
