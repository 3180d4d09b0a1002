#pragma once
// The main window's buttons in the window's tab order: their names, which of them are play
// controls (enabled only while a game runs) and what a click on each does. The desktop
// window and korvane-sim both take them from here.

#include <array>
#include <cstddef>
#include <string_view>

namespace korvane {

class Game;

enum class Button {
    cmdSound,
    cmdExit,
    cmdHelp,
    cmdStart,
    cmdXhairup,
    cmdXhairleft,
    cmdStopCrosshair,
    cmdXhairright,
    cmdXhairdown,
    cmdPhaser,
    cmdPhoton,
    cmdLeft,
    cmdStop,
    cmdRight,
    cmdShields,
    cmdHint,
};

struct ButtonInfo {
    const char* name;
    bool playControl;
    bool refocus;  // the focus goes back to the viewscreen after the command
    void (*command)(Game& game);
};

inline constexpr std::size_t kButtonCount = 16;
// In the order of the enum.
extern const std::array<ButtonInfo, kButtonCount> kButtons;

const ButtonInfo& InfoOf(Button button);
// The button of that name, or null.
const ButtonInfo* FindButton(std::string_view name);
// What a click on an enabled button does.
void Click(Game& game, const ButtonInfo& button);

}  // namespace korvane
