#pragma once
// Texts that stand on more than one window, or that a window and the program's look share:
// the settings dialog shown before every game and the About box repeat the same title,
// version, story and help lines, so they live here once for both front ends.

#include "korvane_version.h"

namespace korvane::texts {

// The application's title: the caption of its message boxes and, after "About ", of the
// About box.
#define KORVANE_APP_TITLE "korvane"
inline constexpr char kAppTitle[] = KORVANE_APP_TITLE;
inline constexpr char kAboutCaption[] = "About " KORVANE_APP_TITLE;

// The caption of the settings and outcome dialogs.
inline constexpr char kDialogCaption[] = "Korvane";

// The version line reads "Version " and then the number and date, five blanks apart.
inline constexpr char kVersionLine[] = "Version " KORVANE_VERSION "     12.31.2000";

inline constexpr char kTitleLine[] =
    "Korvane          (Nexulon for Windows)          Driftglass Software";

inline constexpr char kStory[] =
    "You are Captain Marrek of the Solvarin starship Halcyra, registry KSV-2290-C.  "
    "Try to defeat the evil Vessik, a race of half-machine beings who travel in huge cubical "
    "spaceships, intent on enslaving other alien races (including humanity).  "
    "Use your ship's photon torpedoes, phasers and shields!";

inline constexpr char kKeyboardHelp[] =
    "Keyboard Commands: A - help/About, [ARROW KEYS] - move phaser crosshairs, CTRL - fire "
    "phasers, SPACE - fire photon torpedoes, Z - move left, C - move right, S - raise Shields, "
    "H - Hints, Q - Quit";

inline constexpr char kMouseHelp[] =
    "Mouse over Viewscreen: Left button- move phaser crosshairs. Right button- fire phasers.  "
    "Middle button- fire photon torpedoes.";

// The settings dialog's line over the star count; the desktop's font is chosen so that it
// fits its box.
inline constexpr char kStarsHelp[] =
    "Change the number of stars if the game runs too slowly or too fast on your computer.";

// What the About box's system-information button says when there is no such program.
inline constexpr char kSysInfoUnavailable[] = "System Information Is Unavailable At This Time";

}  // namespace korvane::texts
