#include "gamepad.h"

#include <algorithm>

namespace korvane::pad {

const PadCommand* CommandFor(Control control) {
    const auto* found =
        std::find_if(kPadCommands.begin(), kPadCommands.end(),
                     [control](const PadCommand& c) { return c.control == control; });
    return found == kPadCommands.end() ? nullptr : found;
}

int DialogKeyFor(Control control) {
    if (control == kA) return kEnterKey;
    if (control == kDpadLeft || control == kStickLeft) return keycode::kLeft;
    if (control == kDpadRight || control == kStickRight) return keycode::kRight;
    return 0;
}

std::optional<Control> PadState::SetButton(Control control, double value) {
    if (control < 0 || control >= kControlCount) return std::nullopt;
    bool& down = down_[control];
    if (!down && value >= kPressAt) {
        down = true;
    } else if (down && value < kReleaseAt) {
        down = false;
        return control;
    }
    return std::nullopt;
}

std::optional<Control> PadState::SetStickAxis(int axis, double value) {
    if (axis != 0 && axis != 1) return std::nullopt;
    const Control toLow = axis == 0 ? kStickLeft : kStickUp;
    const Control toHigh = axis == 0 ? kStickRight : kStickDown;
    // Across the middle in one step: the side it left is released, the other pressed.
    const std::optional<Control> low = SetButton(toLow, -value);
    const std::optional<Control> high = SetButton(toHigh, value);
    return low ? low : high;
}

}  // namespace korvane::pad
