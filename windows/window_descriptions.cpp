#include "window_descriptions.h"

#include <algorithm>

#include "game_state.h"
#include "surface.h"
#include "texts.h"

namespace korvane {

namespace {

using K = ControlKind;

// clang-format off
constexpr ControlInfo kMainWindow[] = {
    // Built first, so that it comes first in the tab order and holds the focus.
    {"Picture1",         K::Viewscreen,   {80, 8, Surface::kWidth, Surface::kHeight}},
    {"cmdSound",         K::TableButtons, {},                  "cmdStart"},
    {"Label3",           K::Label,        {0, 112, 57, 17},    "Score  Time"},
    {"txtScore",         K::TextBox,      {0, 128, 33, 19}},
    {"txtGameTime",      K::TextBox,      {40, 128, 33, 19}},
    {"Label2",           K::Label,        {8, 144, 57, 41},    "phaser crosshairs: (arrow keys)"},
    {"cmdXhairup",       K::TableButtons, {},                  "cmdPhaser"},
    {"Picture2",         K::TorpedoBox,   {8, 320, 17, 17}},
    {"Option1",          K::Indicator,    {1, 1, 15, 15}},
    {"Picture3",         K::TorpedoBox,   {32, 320, 17, 17}},
    {"Option2",          K::Indicator,    {1, 1, 15, 15}},
    {"Picture4",         K::TorpedoBox,   {56, 320, 17, 17}},
    {"Option3",          K::Indicator,    {1, 1, 15, 15}},
    {"cmdPhoton",        K::TableButtons, {},                  "cmdPhoton"},
    {"Label1",           K::Label,        {0, 384, 73, 17},    "Movement(Z,C)"},
    {"cmdLeft",          K::TableButtons, {},                  "cmdHint"},
    {"Label4",           K::Label,        {608, 496, 57, 17},  "High Score:"},
    {"txtHighscore",     K::TextBox,      {672, 492, 41, 19}},
};

constexpr ControlInfo kSettings[] = {
    {"picIcon",          K::Icon,      {32, 8, 36, 36}},
    {"lblTitle",         K::Title,     {104, 8, 387, 24},  texts::kTitleLine},
    {"lblVersion",       K::Label,     {96, 40, 259, 15},  texts::kVersionLine},
    {"lblDescription",   K::Label,     {24, 64, 467, 54},  texts::kStory},
    {"Label2",           K::Label,     {24, 128, 281, 57}, texts::kKeyboardHelp},
    {"Label10",          K::Label,     {328, 128, 169, 57}, texts::kMouseHelp},
    // The separator between the keyboard and the mouse help.
    {"Line1",            K::Line,      {312, 128, 1, 49}},
    {"Label11",          K::Label,     {40, 186, 401, 17}, texts::kStarsHelp},
    {"cmdOK",            K::Button,    {440, 200, 57, 33}, "OK"},
    {"Label1",           K::Label,     {64, 216, 137, 17}, "Number of Stars:"},
    {"Text1",            K::TextBox,   {168, 208, 33, 19}},
    {"Command1",         K::Button,    {232, 208, 25, 17}, "-"},
    {"Label8",           K::Label,     {272, 208, 81, 17}, "Restore Default"},
    {"HScroll1",         K::ScrollBar, {24, 232, 409, 17}, "", kMinStars, kMaxStars},
    // Tick marks under the bar: its left end, the default of 150, its right end.
    {"Label4",           K::Label,     {40, 256, 25, 9},   "^"},
    {"Label6",           K::Label,     {152, 256, 25, 9},  "^"},
    {"Label5",           K::Label,     {416, 256, 25, 9},  "^"},
    {"Label3",           K::Label,     {0, 272, 97, 17},   "really old slow PC"},
    {"Label7",           K::Label,     {144, 272, 73, 17}, "default"},
    {"Label9",           K::Label,     {304, 272, 121, 17}, "future really really fast PC"},
};

constexpr ControlInfo kVessikWin[] = {
    {"Label1",       K::Message, {16, 8, 281, 65}, "You have been absorbed by the Vessik."},
    // The picture is a little wider than its box; the box shows its left part.
    {"picVessikWin", K::Picture, {8, 72, 385, 81}},
    {"cmdClose",     K::Button,  {232, 160, 49, 33}, "OK"},
};
constexpr ControlInfo kShipBoom[] = {
    {"Label1",   K::Message, {16, 8, 281, 129},
     "You have been destroyed by your own photon torpedo detonating too closely to your ship. "},
    {"cmdClose", K::Button,  {224, 144, 49, 33}, "OK"},
};
constexpr ControlInfo kVessikZap[] = {
    {"Label1",   K::Message, {16, 8, 281, 129},
     "You have been destroyed by a Vessik super energy weapon."},
    {"cmdClose", K::Button,  {224, 96, 49, 33}, "OK"},
};
constexpr ControlInfo kAntiZap[] = {
    {"Label1",   K::Message, {8, 8, 297, 129},
     "You have been destroyed by a Vessik antimatter globe."},
    {"cmdClose", K::Button,  {232, 72, 49, 33}, "OK"},
};
constexpr ControlInfo kUWin[] = {
    {"Label1",            K::Message, {16, 8, 281, 113},
     "Congratulations, you have defeated the Vessik.  But for how long?  FOR... HOW... LONG?!"},
    {"cmdClose",          K::Button,  {24, 144, 49, 33},  "OK"},
    {"Label2",            K::Label,   {112, 128, 137, 17}, "Current score needed to win:"},
    {"txtCurrentScore",   K::TextBox, {264, 128, 49, 19}},
    {"cmdChangeWinscore", K::Button,  {136, 144, 97, 49},
     "Make the game harder to win next go-around"},
    {"Label3",            K::Label,   {104, 208, 161, 17}, "Next game score needed to win:"},
    {"txtNextscore",      K::TextBox, {264, 200, 49, 19}},
};

constexpr ControlInfo kAbout[] = {
    {"picIcon",        K::Icon,         {16, 16, 36, 36}},
    {"lblTitle2",      K::Title,        {72, 16, 432, 24},  texts::kTitleLine},
    {"lblVersion",     K::Label,        {72, 40, 259, 15},  texts::kVersionLine},
    {"lblDescription", K::Label,        {72, 62, 432, 56},  texts::kStory},
    {"Label1",         K::Label,        {72, 122, 432, 38},
     "Note that this program is designed to run in at least 800x600 screen resolution, 256 "
     "colors or better.  It will probably run best on a 200 mhz. or faster PC, without other "
     "Windows programs running."},
    {"Label2",         K::Label,        {16, 170, 281, 57}, texts::kKeyboardHelp},
    {"Label10",        K::Label,        {320, 170, 184, 57}, texts::kMouseHelp},
    {"Label3",         K::Label,        {16, 238, 488, 17},
     "Many thanks to the playtesters: Ilse, Tomas, Rhea and the late shift of the third floor."},
    {"Label4",         K::Label,        {16, 258, 488, 17},
     "Written by Odile Varnhagen  -  odile.varnhagen@example.org"},
    {"lblDisclaimer",  K::Label,        {16, 286, 372, 30},
     "Korvane is in the public domain.  Copy it, give it away and change it as you like; it "
     "comes with no warranty of any kind."},
    {"Command1",       K::LinkButton,   {16, 330, 220, 25}, "https://korvane.example.org/"},
    {"cmdOK",          K::Button,       {408, 286, 97, 25}, "OK"},
    {"cmdSysInfo",     K::SystemButton, {408, 320, 97, 25}, "&System Info..."},
};

constexpr ControlInfo kMessageBox[] = {
    {"cmdOK", K::Button, {0, 0, 75, 23}, "OK"},
};
// clang-format on

constexpr WindowInfo kWindowList[] = {
    // The main window's caption keeps its trailing blank.
    {"frmKorvane", "Korvane ", 733, 512, "Picture1", kMainWindow},
    {"frmStart", texts::kDialogCaption, 508, 291, "cmdOK", kSettings},
    {"frmVessikWin", texts::kDialogCaption, 397, 202, "cmdClose", kVessikWin},
    {"frmShipBoom", texts::kDialogCaption, 308, 194, "cmdClose", kShipBoom},
    {"frmVessikZap", texts::kDialogCaption, 308, 136, "cmdClose", kVessikZap},
    {"frmAntiZap", texts::kDialogCaption, 308, 112, "cmdClose", kAntiZap},
    {"frmUWin", texts::kDialogCaption, 342, 243, "cmdClose", kUWin},
    {"frmAbout", texts::kAboutCaption, 520, 370, "cmdOK", kAbout},
    {"MsgBox", texts::kAppTitle, 0, 0, "cmdOK", kMessageBox},
};

}  // namespace

const std::span<const WindowInfo> kWindows = kWindowList;

const WindowInfo& WindowNamed(std::string_view name) {
    const auto it = std::find_if(kWindows.begin(), kWindows.end(),
                                 [name](const WindowInfo& w) { return w.name == name; });
    return it == kWindows.end() ? kWindows.back() : *it;
}

const char* KindName(ControlKind kind) {
    static constexpr const char* kNames[] = {
        "viewscreen", "buttons", "button", "link", "system",  "label",   "title",    "message",
        "text",       "scroll",  "icon",   "line", "picture", "torpedo", "indicator"};
    return kNames[static_cast<int>(kind)];
}

}  // namespace korvane
