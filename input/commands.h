#pragma once
// The player's keyboard and mouse commands (the buttons are in buttons.h). Key codes
// are the virtual-key codes of the game's key table (17 Ctrl, 32 space, 37 to 40 arrows, 65 A ...);
// mouse buttons are 1 left, 2 right, 4 middle; positions are viewscreen pixels.

#include <array>
#include <cstddef>

#include "task.h"

namespace korvane {

class Game;

namespace keycode {
constexpr int kCtrl = 17;
constexpr int kSpace = 32;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kRight = 39;
constexpr int kDown = 40;
constexpr int kA = 65;
constexpr int kC = 67;
constexpr int kH = 72;
constexpr int kQ = 81;
constexpr int kS = 83;
constexpr int kX = 88;
constexpr int kZ = 90;
}  // namespace keycode

// The keys the game acts on, and what each does on its release. Front ends take from it
// which keys to keep from the system's own use (the browser's scrolling and shortcuts).
struct GameKey {
    int code;
    Task (*command)(Game& game);
};
inline constexpr std::size_t kGameKeyCount = 13;
extern const std::array<GameKey, kGameKeyCount> kGameKeys;

// A key released anywhere in the main window (key preview). The modifier keys do not
// matter to the game.
Task Form_KeyUp(Game& game, int keyCode);

// A mouse button released over the viewscreen (also outside it after a press inside).
void Picture1_MouseUp(Game& game, int button, int shift, double px, double py);

}  // namespace korvane
