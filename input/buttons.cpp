#include "buttons.h"

#include <algorithm>

#include "commands.h"
#include "game.h"

namespace korvane {

// A click on a button leaves the focus on the viewscreen, so that the keys keep steering;
// the start/stop button's teardown does that itself.
// clang-format off
const std::array<ButtonInfo, kButtonCount> kButtons = {{
    // name              caption                        box                play   refocus
    {"cmdSound",         "sound: ",                     {8, 3, 65, 25},    false, true,
     [](Game& g) { g.ToggleSound(); return Task(); }},
    {"cmdExit",          "Quit/exit",                   {8, 32, 65, 25},   false, false,
     [](Game& g) { return g.cmdExit_Click(); }},
    {"cmdHelp",          "help/About",                  {8, 60, 65, 25},   false, true,
     [](Game& g) { return g.ShowHelp(); }},
    {"cmdStart",         "start/stop",                  {8, 88, 65, 25},   false, false,
     [](Game& g) { return g.cmdStart_Click(); }},
    {"cmdXhairup",       "^ ",                          {26, 184, 25, 25}, true,  true,
     [](Game& g) { g.SteerCrosshairs(0, -1); return Task(); }},
    {"cmdXhairleft",     "<-",                          {2, 216, 25, 25},  true,  true,
     [](Game& g) { g.SteerCrosshairs(-1, 0); return Task(); }},
    {"cmdStopCrosshair", "-",                           {31, 218, 17, 21}, true,  true,
     [](Game& g) { g.StopCrosshairs(); return Task(); }},
    {"cmdXhairright",    "->",                          {53, 216, 25, 25}, true,  true,
     [](Game& g) { g.SteerCrosshairs(1, 0); return Task(); }},
    {"cmdXhairdown",     "v",                           {26, 248, 25, 29}, true,  true,
     [](Game& g) { g.SteerCrosshairs(0, 1); return Task(); }},
    {"cmdPhaser",        "fire phasers (CTRL)",         {8, 280, 65, 33},  true,  true,
     [](Game& g) { g.FireAtCrosshairs(); return Task(); }},
    {"cmdPhoton",        "photon torpedoes (spacebar)", {8, 344, 65, 41},  true,  true,
     [](Game& g) { g.LaunchTorpedo(); return Task(); }},
    {"cmdLeft",          "<- ",                         {4, 400, 22, 33},  true,  true,
     [](Game& g) { g.SteerShip(-1); return Task(); }},
    {"cmdStop",          "-",                           {31, 404, 17, 25}, true,  true,
     [](Game& g) { g.StopShip(); return Task(); }},
    {"cmdRight",         " ->",                         {53, 400, 22, 33}, true,  true,
     [](Game& g) { g.SteerShip(1); return Task(); }},
    {"cmdShields",       "Shields",                     {16, 440, 49, 25}, true,  true,
     [](Game& g) { g.ToggleShields(); return Task(); }},
    {"cmdHint",          "Hints",                       {16, 472, 49, 25}, false, true,
     [](Game& g) { return g.ShowNextHint(false); }},
}};
// clang-format on

const ButtonInfo* FindButton(std::string_view name) {
    const auto it = std::find_if(kButtons.begin(), kButtons.end(),
                                 [name](const ButtonInfo& b) { return b.name == name; });
    return it == kButtons.end() ? nullptr : &*it;
}

Task Click(Game& game, const ButtonInfo& button) {
    co_await button.command(game);
    if (button.refocus) game.shell().FocusViewscreen();
}

}  // namespace korvane
