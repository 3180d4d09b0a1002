#include "buttons.h"

#include <algorithm>

#include "commands.h"
#include "game.h"

namespace korvane {

// A click on a button leaves the focus on the viewscreen, so that the keys keep steering;
// the start/stop button's teardown does that itself.
const std::array<ButtonInfo, kButtonCount> kButtons = {{
    {"cmdSound", false, true, [](Game& g) { g.ToggleSound(); }},
    {"cmdExit", false, false, [](Game& g) { g.cmdExit_Click(); }},
    {"cmdHelp", false, true, ShowHelp},
    {"cmdStart", false, false, [](Game& g) { g.cmdStart_Click(); }},
    {"cmdXhairup", true, true, [](Game& g) { g.SteerCrosshairs(0, -1); }},
    {"cmdXhairleft", true, true, [](Game& g) { g.SteerCrosshairs(-1, 0); }},
    {"cmdStopCrosshair", true, true, [](Game& g) { g.StopCrosshairs(); }},
    {"cmdXhairright", true, true, [](Game& g) { g.SteerCrosshairs(1, 0); }},
    {"cmdXhairdown", true, true, [](Game& g) { g.SteerCrosshairs(0, 1); }},
    {"cmdPhaser", true, true, [](Game& g) { g.FireAtCrosshairs(); }},
    {"cmdPhoton", true, true, [](Game& g) { g.LaunchTorpedo(); }},
    {"cmdLeft", true, true, [](Game& g) { g.SteerShip(-1); }},
    {"cmdStop", true, true, [](Game& g) { g.StopShip(); }},
    {"cmdRight", true, true, [](Game& g) { g.SteerShip(1); }},
    {"cmdShields", true, true, [](Game& g) { g.ToggleShields(); }},
    {"cmdHint", false, true, ShowNextHint},
}};

const ButtonInfo& InfoOf(Button button) {
    return kButtons[static_cast<std::size_t>(button)];
}

const ButtonInfo* FindButton(std::string_view name) {
    const auto it = std::find_if(kButtons.begin(), kButtons.end(),
                                 [name](const ButtonInfo& b) { return b.name == name; });
    return it == kButtons.end() ? nullptr : &*it;
}

void Click(Game& game, const ButtonInfo& button) {
    button.command(game);
    if (button.refocus) game.shell().FocusViewscreen();
}

}  // namespace korvane
