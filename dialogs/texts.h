#pragma once
// Texts that stand on more than one window: the settings dialog shown before every game and
// the About box repeat the same title, version, story and help lines, so they live here once.

#include "korvane_version.h"

namespace korvane::texts {

// The application's title: the caption of its message boxes and of the About box.
inline constexpr char kAppTitle[] = "korvane";

// The caption of the main window keeps its trailing blank.
inline constexpr char kMainWindowCaption[] = "Korvane ";
inline constexpr char kDialogCaption[] = "Korvane";

// The version line reads "Version " and then the number and date, five blanks apart.
inline constexpr char kVersionPrefix[] = "Version ";
inline constexpr char kVersion[] = KORVANE_VERSION "     12.31.2000";
inline constexpr char kVersionDesign[] = "Version";

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

inline constexpr char kScreenNote[] =
    "Note that this program is designed to run in at least 800x600 screen resolution, 256 "
    "colors or better.  It will probably run best on a 200 mhz. or faster PC, without other "
    "Windows programs running.";

inline constexpr char kThanks[] =
    "Many thanks to the playtesters: Ilse, Tomas, Rhea and the late shift of the third floor.";
inline constexpr char kAuthor[] = "Written by Odile Varnhagen  -  odile.varnhagen@example.org";
inline constexpr char kDisclaimer[] =
    "Korvane is in the public domain.  Copy it, give it away and change it as you like; it "
    "comes with no warranty of any kind.";
inline constexpr char kHomePage[] = "https://korvane.example.org/";

inline constexpr char kSysInfoCaption[] = "&System Info...";
inline constexpr char kSysInfoUnavailable[] = "System Information Is Unavailable At This Time";

}  // namespace korvane::texts
