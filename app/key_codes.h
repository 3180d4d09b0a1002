#pragma once
// The game's keys are the virtual-key codes of the desktop it was written for: Ctrl 17,
// space 32, the arrows 37 to 40, letters by their upper-case code whatever Shift or Caps
// Lock say. This maps Qt's keys to them.

#include <Qt>

namespace korvane {

// The code of a key, or 0 for a key the game has no code for.
int VirtualKeyFromQt(int qtKey);

}  // namespace korvane
