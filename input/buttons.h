#pragma once
// The main window's buttons in the window's tab order: their names, captions and places,
// which of them are play controls (enabled only while a game runs) and what a click on each
// does. The desktop window and korvane-sim both take them from here.

#include <array>
#include <cstddef>
#include <string_view>

#include "task.h"

namespace korvane {

class Game;

struct ButtonInfo {
    const char* name;
    const char* caption;
    std::array<int, 4> box;  // left, top, width and height in the window
    bool playControl;
    bool refocus;  // the focus goes back to the viewscreen after the command
    Task (*command)(Game& game);
};

inline constexpr std::size_t kButtonCount = 16;
extern const std::array<ButtonInfo, kButtonCount> kButtons;

// The button of that name, or null.
const ButtonInfo* FindButton(std::string_view name);
// What a click on an enabled button does.
Task Click(Game& game, const ButtonInfo& button);

}  // namespace korvane
